# The target `installer`: QuessantaSetup.exe in the build folder, made with
# NSIS from Quessanta.nsi and the installation directory. Rebuilt only when
# one of the files it packs changes.
find_program(QUESSANTA_MAKENSIS makensis)
if(NOT QUESSANTA_MAKENSIS)
  message(STATUS "makensis not found: no installer target (scripts/windows-deps.sh installs NSIS)")
  return()
endif()
set(QUESSANTA_INSTALLER ${CMAKE_BINARY_DIR}/QuessantaSetup.exe)
set(QUESSANTA_INSTALLER_SCRIPT ${CMAKE_SOURCE_DIR}/packaging/windows/Quessanta.nsi)
set(QUESSANTA_INSTALLER_INPUTS ${QUESSANTA_ARTWORK_FILES} ${QUESSANTA_INSTALL_DIR}/Quessanta.scr
  $<TARGET_FILE:Quessanta> $<TARGET_FILE:quessanta_config> $<TARGET_FILE:quessanta_pak>)
add_custom_command(OUTPUT ${QUESSANTA_INSTALLER}
  COMMAND ${QUESSANTA_MAKENSIS} -V2 -DSOURCE_DIR=${QUESSANTA_INSTALL_DIR} -DOUTFILE=${QUESSANTA_INSTALLER}
    -DVERSION=${PROJECT_VERSION} -DICON=${QUESSANTA_WINDOWS_ICON}
    ${QUESSANTA_INSTALLER_SCRIPT}
  DEPENDS ${QUESSANTA_INSTALLER_SCRIPT} ${QUESSANTA_INSTALLER_INPUTS} ${QUESSANTA_WINDOWS_ICON} Quessanta quessanta_config quessanta_pak artwork screensaver_file
  COMMENT "Making ${QUESSANTA_INSTALLER}"
  VERBATIM)
add_custom_target(installer DEPENDS ${QUESSANTA_INSTALLER})
