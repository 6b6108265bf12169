# The resources of setup.exe (ui/setup.rc), compiled with windres into the program of both
# Windows builds. The icons are drawn by ui/icons/make_icons.py into the build folder.
# Included by the root CMakeLists.txt after the `setup` target is defined.
find_package(Python3 COMPONENTS Interpreter REQUIRED)

set(SETUP_ICON_DIR ${CMAKE_BINARY_DIR}/ui/icons)
set(SETUP_ICONS ${SETUP_ICON_DIR}/setup.ico ${SETUP_ICON_DIR}/medium.ico
  ${SETUP_ICON_DIR}/working.ico)
add_custom_command(
  OUTPUT ${SETUP_ICONS}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/ui/icons/make_icons.py ${SETUP_ICON_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/ui/icons/make_icons.py
  COMMENT "Drawing the launcher's icons")
add_custom_target(setup_icons DEPENDS ${SETUP_ICONS})

# An object library, so that test tools can carry the same templates (the resources of a
# static library would not be linked).
add_library(setup_resources OBJECT ${CMAKE_SOURCE_DIR}/ui/setup.rc)
target_include_directories(setup_resources PRIVATE ${CMAKE_SOURCE_DIR}/ui ${SETUP_ICON_DIR})
set_source_files_properties(${CMAKE_SOURCE_DIR}/ui/setup.rc PROPERTIES OBJECT_DEPENDS
  "${SETUP_ICONS};${CMAKE_SOURCE_DIR}/ui/setup.manifest;${CMAKE_SOURCE_DIR}/ui/resource.h")
add_dependencies(setup_resources setup_icons)

target_link_libraries(setup PRIVATE setup_resources)
