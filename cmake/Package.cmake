# The release a Windows user takes: a zip with the one program, the users' guide in Portuguese
# (LEIA-ME.txt), the README (and its picture) and the licence, named with the version and the
# architecture. `cmake --build --preset windows-x64 --target package` (or windows-x86) makes it in
# the build folder; scripts/release.sh makes both with fixed entry times, order and attributes.
install(TARGETS tervalux RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LEIA-ME.txt ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/tervalux-window.png DESTINATION docs)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TERVALUX_ARCHITECTURE x64)
else()
  set(TERVALUX_ARCHITECTURE x86)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tervalux)
set(CPACK_PACKAGE_VENDOR "The Tervalux developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME
    tervalux-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}-windows-${TERVALUX_ARCHITECTURE})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)
