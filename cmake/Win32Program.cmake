# The Win32 layer and the program itself. Only code in win32/ folders includes <windows.h>.
file(GLOB TERVALUX_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp runtime/win32/*.cpp)
if(NOT TERVALUX_WIN32_SOURCES)
  return()
endif()
add_library(tervalux_win32 STATIC ${TERVALUX_WIN32_SOURCES})
target_link_libraries(tervalux_win32 PUBLIC tervalux_core)
tervalux_warnings(tervalux_win32)
target_link_libraries(tervalux_win32 PUBLIC user32 gdi32 comctl32 shell32)

if(MINGW)
  # One self-contained program: no libstdc++/libgcc/winpthread DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  target_link_options(tervalux_win32 INTERFACE -static -static-libgcc -static-libstdc++)
endif()

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/app/win32/main.cpp)
  file(GLOB TERVALUX_PROGRAM_SOURCES CONFIGURE_DEPENDS app/win32/*.cpp app/win32/*.rc)
  add_executable(tervalux WIN32 ${TERVALUX_PROGRAM_SOURCES})
  target_link_libraries(tervalux PRIVATE tervalux_win32)
  tervalux_warnings(tervalux)
  if(MINGW)
    target_link_options(tervalux PRIVATE -municode)
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
endif()
