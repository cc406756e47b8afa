# The Win32 part of each layer, and the program itself. Only code in win32/ folders includes
# <windows.h>.
tervalux_layer(tervalux_platform_win32 FOLDER platform/win32 SEES platform USES tervalux_platform)
# Only libraries the program may import: Windows loads an import before wWinMain can say where
# libraries come from. shell32 and mpr are loaded by their full path at run time instead
# (platform/win32/system_library.h). The compiler still adds its own default libraries, shell32
# among them, so scripts/check-program-headers.sh, not the link, stops a direct call to one.
target_link_libraries(tervalux_platform_win32 PUBLIC user32 gdi32 comctl32)
tervalux_layer(tervalux_runtime_win32 FOLDER runtime/win32 SEES platform platform/win32 runtime
               USES tervalux_runtime tervalux_platform_win32)

# Every Win32 part with the core, for the tests, which see the whole tree.
add_library(tervalux_win32 INTERFACE)
target_link_libraries(tervalux_win32 INTERFACE tervalux_runtime_win32 tervalux_core)

if(MINGW)
  # One self-contained program: no libstdc++/libgcc/winpthread DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  target_link_options(tervalux_platform_win32 INTERFACE -static -static-libgcc -static-libstdc++)
endif()

file(GLOB TERVALUX_PROGRAM_SOURCES CONFIGURE_DEPENDS app/win32/*.cpp app/win32/*.rc)
add_executable(tervalux WIN32 ${TERVALUX_PROGRAM_SOURCES})
tervalux_include_view(tervalux app/win32 app platform platform/win32 runtime runtime/win32 registration)
target_link_libraries(tervalux PRIVATE tervalux_app tervalux_runtime_win32)
tervalux_warnings(tervalux)
if(MINGW)
  target_link_options(tervalux PRIVATE -municode)
  # Terminal-server aware: on a Remote Desktop server Windows otherwise gives the program a private
  # per-user Windows folder from GetWindowsDirectory, not the one whose system directories hold the
  # registrar and the components. The MSVC linker marks every program so by itself.
  target_link_options(tervalux PRIVATE -Wl,--tsaware)
  # A release program carries no symbols: the static C++ library's debug sections alone would
  # double its size.
  target_link_options(tervalux PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()
# The resource script names its manifest beside it; the manifest resource is the only one, so
# the MSVC linker must not add one of its own.
target_include_directories(tervalux PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app/win32)
set_property(SOURCE app/win32/tervalux.rc APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_CURRENT_SOURCE_DIR}/app/win32/tervalux.manifest)
if(MSVC)
  target_link_options(tervalux PRIVATE /MANIFEST:NO)
endif()
set_target_properties(tervalux PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
include(cmake/Package.cmake)
