# The target `installer`: QuessantaSetup.exe in the build folder, made with
# NSIS from Quessanta.nsi and the installation directory in two passes: the
# first exports the uninstaller with a version record of its own
# (uninstall.exe, its installer thrown away), the second packs it with the
# rest. Rebuilt only when one of the files it packs changes.
find_program(QUESSANTA_MAKENSIS makensis)
if(NOT QUESSANTA_MAKENSIS)
  message(STATUS "makensis not found: no installer target (scripts/windows-deps.sh installs NSIS)")
  return()
endif()
set(QUESSANTA_INSTALLER ${CMAKE_BINARY_DIR}/QuessantaSetup.exe)
set(QUESSANTA_UNINSTALLER ${CMAKE_BINARY_DIR}/uninstall.exe)
set(QUESSANTA_INSTALLER_SCRIPT ${CMAKE_SOURCE_DIR}/packaging/windows/Quessanta.nsi)
set(QUESSANTA_INSTALLER_INPUTS ${QUESSANTA_ARTWORK_FILES} ${QUESSANTA_INSTALL_DIR}/Quessanta.scr
  $<TARGET_FILE:Quessanta> $<TARGET_FILE:quessanta_config> $<TARGET_FILE:quessanta_pak>)
set(QUESSANTA_NSIS_COMMON -V2 -DVERSION=${PROJECT_VERSION} -DICON=${QUESSANTA_WINDOWS_ICON})
add_custom_command(OUTPUT ${QUESSANTA_UNINSTALLER}
  COMMAND ${QUESSANTA_MAKENSIS} ${QUESSANTA_NSIS_COMMON} -DUNINSTALLER=${QUESSANTA_UNINSTALLER}
    -DCMAKE=${CMAKE_COMMAND} -DOUTFILE=${CMAKE_BINARY_DIR}/uninstaller-pass.exe ${QUESSANTA_INSTALLER_SCRIPT}
  COMMAND ${CMAKE_COMMAND} -E remove ${CMAKE_BINARY_DIR}/uninstaller-pass.exe
  DEPENDS ${QUESSANTA_INSTALLER_SCRIPT} ${QUESSANTA_WINDOWS_ICON}
  COMMENT "Making ${QUESSANTA_UNINSTALLER}"
  VERBATIM)
add_custom_command(OUTPUT ${QUESSANTA_INSTALLER}
  COMMAND ${QUESSANTA_MAKENSIS} ${QUESSANTA_NSIS_COMMON} -DSOURCE_DIR=${QUESSANTA_INSTALL_DIR}
    -DUNINSTALLER_FILE=${QUESSANTA_UNINSTALLER} -DOUTFILE=${QUESSANTA_INSTALLER} ${QUESSANTA_INSTALLER_SCRIPT}
  DEPENDS ${QUESSANTA_INSTALLER_SCRIPT} ${QUESSANTA_INSTALLER_INPUTS} ${QUESSANTA_UNINSTALLER} ${QUESSANTA_WINDOWS_ICON}
    Quessanta quessanta_config quessanta_pak artwork screensaver_file
  COMMENT "Making ${QUESSANTA_INSTALLER}"
  VERBATIM)
add_custom_target(installer DEPENDS ${QUESSANTA_INSTALLER})
