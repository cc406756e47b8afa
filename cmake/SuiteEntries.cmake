# The ctest entries of a Windows test program, found from the program when ctest runs, never listed
# here: a new test suite, or a new family of the end-to-end tests, runs without an edit. They are
# found at test time because the build runs before there is a Wine prefix to run the program in:
# each time ctest reads the tests, cmake/SuiteEntriesAtTestTime.cmake lists the program's tests
# (under Wine, through the cross-compiling emulator) and adds one entry per test suite, so that Wine
# starts once per suite rather than once per test. A listing that fails stops ctest with its reason.
#
# tervalux_suite_entries(<program> TIMEOUT_PER_TEST <seconds> [NAME <prefix>] [BY_FAMILY]
#                        [SERIAL] [SERIAL_SUITES <suite>...] [WRAPPER <script>] [WRAPPED_SUITES <suite>...])
#   NAME              the entries are named <prefix><suite>; win32_ unless given
#   BY_FAMILY         a value-parameterized suite gets one entry per parameter, the family that ends
#                     its tests' names (Test/win98), named <prefix><family>
#   TIMEOUT_PER_TEST  an entry's timeout is this times the number of its tests
#   SERIAL            every entry runs alone (RUN_SERIAL); SERIAL_SUITES, only those suites' entries
#   WRAPPER           a script of scripts/ that runs the program under Wine in place of the emulator,
#                     for every entry or, with WRAPPED_SUITES, only those suites' entries
# A suite named in SERIAL_SUITES or WRAPPED_SUITES that the program does not have stops ctest too.
function(tervalux_suite_entries program)
  cmake_parse_arguments(ARG "BY_FAMILY;SERIAL" "NAME;TIMEOUT_PER_TEST;WRAPPER" "SERIAL_SUITES;WRAPPED_SUITES" ${ARGN})
  if(NOT ARG_NAME)
    set(ARG_NAME win32_)
  endif()
  if(NOT CMAKE_CROSSCOMPILING)
    # On Windows itself the program runs as it is: CMake's own discovery, one entry per test.
    set(serial)
    if(ARG_SERIAL OR ARG_SERIAL_SUITES)
      set(serial RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${program} TEST_PREFIX ${ARG_NAME} DISCOVERY_MODE PRE_TEST
                         PROPERTIES TIMEOUT ${ARG_TIMEOUT_PER_TEST} ${serial})
    return()
  endif()

  set(arguments PROGRAM $<TARGET_FILE:${program}> LISTING ${CMAKE_CURRENT_BINARY_DIR}/${program}_tests.txt
                NAME ${ARG_NAME} TIMEOUT_PER_TEST ${ARG_TIMEOUT_PER_TEST} EMULATOR ${CMAKE_CROSSCOMPILING_EMULATOR}
                SERIAL_SUITES ${ARG_SERIAL_SUITES} WRAPPED_SUITES ${ARG_WRAPPED_SUITES})
  if(ARG_WRAPPER)
    list(APPEND arguments WRAPPER bash ${PROJECT_SOURCE_DIR}/${ARG_WRAPPER})
  endif()
  foreach(option BY_FAMILY SERIAL)
    if(ARG_${option})
      list(APPEND arguments ${option})
    endif()
  endforeach()
  set(call "")
  foreach(argument IN LISTS arguments)
    string(APPEND call " [==[${argument}]==]")
  endforeach()
  set(entries ${CMAKE_CURRENT_BINARY_DIR}/${program}_entries.cmake)
  file(GENERATE OUTPUT ${entries} CONTENT
       "include([==[${PROJECT_SOURCE_DIR}/cmake/SuiteEntriesAtTestTime.cmake]==])\ntervalux_add_suite_entries(${call})\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${entries})
endfunction()
