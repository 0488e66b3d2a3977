# quessanta_layer(NAME [DIRS dir...] [EXCLUDE file...] [SOURCES file...] USES target...)
# A static library quessanta_NAME of the sources in the folders, linked
# PRIVATE to the targets it may use. With QUESSANTA_LAYER_CHECK, also
# quessanta_NAME_layercheck: the same objects as a shared object linked with
# --no-undefined against those targets only, so a call into any other layer
# stops the build with an undefined reference.
function(quessanta_layer name)
  cmake_parse_arguments(L "" "" "DIRS;EXCLUDE;SOURCES;USES" ${ARGN})
  set(sources ${L_SOURCES})
  foreach(dir ${L_DIRS})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  foreach(skip ${L_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX ".*/${skip}$")
  endforeach()
  add_library(quessanta_${name} STATIC ${sources})
  target_include_directories(quessanta_${name} PUBLIC ${CMAKE_SOURCE_DIR})
  set_target_properties(quessanta_${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(quessanta_${name} PRIVATE ${L_USES})
  if(QUESSANTA_LAYER_CHECK)
    add_library(quessanta_${name}_layercheck SHARED $<TARGET_OBJECTS:quessanta_${name}>)
    target_link_libraries(quessanta_${name}_layercheck PRIVATE ${L_USES})
    target_link_options(quessanta_${name}_layercheck PRIVATE -Wl,--no-undefined)
  endif()
endfunction()
