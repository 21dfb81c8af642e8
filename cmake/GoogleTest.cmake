# GoogleTest: Debian's library for the native build; compiled from Debian's sources
# (/usr/src/googletest) for the Windows build.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# Registers a test program. Natively each test case becomes its own CTest test;
# under Wine the whole program is one test, since every process start costs a
# fraction of a second there. With SPINS, its tests load the processors and measure
# what they got: they never run beside another such test.
function(velkaro_add_test_program target)
  cmake_parse_arguments(PARSE_ARGV 1 program "SPINS" "" "")
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main velkaro_warnings)
  set(lock "")
  if(program_SPINS)
    set(lock RESOURCE_LOCK processors)
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine ${lock})
  else()
    if(program_SPINS)
      gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ${lock})
    else()
      gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
    endif()
  endif()
endfunction()
