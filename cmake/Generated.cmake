# Build-time data (the window description and icon) comes from generators in tools/; see tools/.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tools/CMakeLists.txt)
  add_subdirectory(tools)
endif()
