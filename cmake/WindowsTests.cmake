# Test executables, one per module, run by CTest under wine64.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
enable_testing()

file(GLOB QWP_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(qwp_test_support STATIC ${QWP_TEST_SUPPORT})
target_include_directories(qwp_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(qwp_test_support PUBLIC qwp_registration qwp_controls qwp_instutils ZLIB::ZLIB GTest::gtest)
target_compile_definitions(qwp_test_support PRIVATE
  QWP_BUILD_DIR="${CMAKE_BINARY_DIR}" QWP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# tests/<module>/*Test.cpp become <module>_tests; *PureTest.cpp run natively.
# Arguments after the module: extra sources and libraries, as
# qwp_test_suite(module SOURCES ... LIBS ...).
function(qwp_test_suite module)
  cmake_parse_arguments(SUITE "" "" "SOURCES;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${module}/*Test.cpp)
  list(FILTER sources EXCLUDE REGEX "PureTest\\.cpp$")
  if(NOT sources)
    return()
  endif()
  add_executable(${module}_tests ${sources} ${SUITE_SOURCES})
  target_link_libraries(${module}_tests PRIVATE ${SUITE_LIBS} qwp_test_support)
  target_include_directories(${module}_tests PRIVATE ${CMAKE_BINARY_DIR}/payload ${CMAKE_SOURCE_DIR}/resources)
  add_test(NAME ${module} COMMAND ${module}_tests
           --gtest_output=xml:Z:${CMAKE_BINARY_DIR}/results/${module}.xml)
  set_tests_properties(${module} PROPERTIES
    ENVIRONMENT "QWP_BUILD_DIR=${CMAKE_BINARY_DIR};QWP_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# The payload tests read the real embedded resource, so that suite carries the
# setup's own resource script.
qwp_test_suite(instutils)
qwp_test_suite(controls SOURCES ${CMAKE_SOURCE_DIR}/resources/ui.rc LIBS qwp_controls)
qwp_test_suite(payload SOURCES ${CMAKE_SOURCE_DIR}/resources/setup.rc LIBS qwp_payload qwp_controls)
qwp_test_suite(sample)
qwp_test_suite(registration LIBS qwp_registration)
qwp_test_suite(wizard SOURCES ${CMAKE_SOURCE_DIR}/resources/setup.rc LIBS qwp_wizard qwp_registration qwp_payload qwp_controls)
if(TARGET wizard_tests)
  add_dependencies(wizard_tests payload)
endif()
if(TARGET sample_tests)
  add_dependencies(sample_tests qwp)
endif()
qwp_test_suite(setup SOURCES ${CMAKE_SOURCE_DIR}/resources/ui.rc LIBS qwp_setup)
if(TARGET payload_tests)
  add_dependencies(payload_tests payload)
endif()
# Started first by the test script: a machine that cannot run it cannot run
# any program of this architecture.
add_executable(arch_probe tests/support/ArchProbe.c)

# Linked as the setup is: shows how much address space such a program gets.
add_executable(address_space_probe tests/setup/AddressSpaceProbe.c)
target_link_options(address_space_probe PRIVATE ${QWP_LARGE_ADDRESS_AWARE})

# Helpers of the DLL planting test.
add_library(planted_marker SHARED tests/setup/PlantedMarker.c)
set_target_properties(planted_marker PROPERTIES PREFIX "")
add_executable(naive_loader tests/setup/NaiveLoader.cpp)
if(TARGET setup_tests)
  add_dependencies(setup_tests setup qwp planted_marker naive_loader address_space_probe)
endif()

# Whole-product scenarios: the real setup.exe of this build driven from
# outside, interactively and unattended.
qwp_test_suite(scenarios SOURCES ${CMAKE_SOURCE_DIR}/resources/ui.rc LIBS qwp_setup)
if(TARGET scenarios_tests)
  add_dependencies(scenarios_tests setup qwp)
  # Folders in a double-byte code page, for real: the scenarios that need it
  # once more under a Japanese locale, from which Wine takes the ANSI code
  # page 932 for that process (the prefix is shared).
  add_test(NAME scenarios_cp932 COMMAND scenarios_tests --gtest_filter=JapaneseFolder.*
           --gtest_output=xml:Z:${CMAKE_BINARY_DIR}/results/scenarios_cp932.xml)
  set_tests_properties(scenarios_cp932 PROPERTIES
    ENVIRONMENT "QWP_BUILD_DIR=${CMAKE_BINARY_DIR};QWP_SOURCE_DIR=${CMAKE_SOURCE_DIR};LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8")
endif()
