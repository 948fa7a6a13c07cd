# The executable's resources: the icon (drawn by a script at build time), the
# version record and the manifest asking for common controls 6.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LAUNCHER_MANIFEST_ARCH amd64)
else()
  set(LAUNCHER_MANIFEST_ARCH X86)
endif()

set(LAUNCHER_ICON_FILE ${CMAKE_BINARY_DIR}/resources/launcher.ico)
set(LAUNCHER_MANIFEST_FILE ${CMAKE_BINARY_DIR}/resources/launcher.manifest)
configure_file(${CMAKE_SOURCE_DIR}/resources/launcher.manifest.in ${LAUNCHER_MANIFEST_FILE} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/launcher.rc.in ${CMAKE_BINARY_DIR}/resources/launcher.rc @ONLY)

add_custom_command(
  OUTPUT ${LAUNCHER_ICON_FILE}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/resources/make_icon.py ${LAUNCHER_ICON_FILE}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_icon.py
  COMMENT "Drawing the launcher icon")
add_custom_target(launcher_icon DEPENDS ${LAUNCHER_ICON_FILE})
set_source_files_properties(${CMAKE_BINARY_DIR}/resources/launcher.rc PROPERTIES
  OBJECT_DEPENDS "${LAUNCHER_ICON_FILE};${LAUNCHER_MANIFEST_FILE}")
set(LAUNCHER_RESOURCE_FILES ${CMAKE_BINARY_DIR}/resources/launcher.rc)
