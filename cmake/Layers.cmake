# Each layer of the program is a library of its own, linked only to the layers below it, and it sees
# only its own headers and theirs: its include path is a view of the source tree that holds links to
# just those folders' headers. An include that runs upward is then a build error, not a review
# comment. The tests see the whole tree.
#
#   platform            runtime errors, text and path rules, services interface, probe
#   runtime             our application runtime          -> platform
#   registration        the two commands and their rules -> platform
#   app                 Form1 and its handlers           -> runtime, registration
#   */win32             each layer's Win32 part          -> its layer and the Win32 parts below

set(TERVALUX_VIEWS_DIR ${CMAKE_BINARY_DIR}/include-views)

# Gives `target` an include path holding the headers of `folders` (relative to the source root) and
# nothing else. A Windows host may not be allowed to make links; there the whole tree is seen, and the
# views are enforced by the Linux builds.
function(tervalux_include_view target)
  if(CMAKE_HOST_WIN32)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    return()
  endif()
  set(view ${TERVALUX_VIEWS_DIR}/${target})
  file(REMOVE_RECURSE ${view})
  foreach(folder IN LISTS ARGN)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    file(MAKE_DIRECTORY ${view}/${folder})
    foreach(header IN LISTS headers)
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${view}/${folder}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} PRIVATE ${view})
endfunction()

# tervalux_layer(<target> FOLDER <folder> [SEES <folders below>...] [USES <libraries>...])
# A static library of FOLDER's sources that sees FOLDER and SEES, and links USES.
function(tervalux_layer target)
  cmake_parse_arguments(LAYER "" "FOLDER" "SEES;USES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${LAYER_FOLDER}/*.cpp)
  add_library(${target} STATIC ${sources})
  tervalux_include_view(${target} ${LAYER_FOLDER} ${LAYER_SEES})
  target_link_libraries(${target} PUBLIC ${LAYER_USES})
  tervalux_warnings(${target})
endfunction()
