# Native tools and tests: the payload packer, tests of the Windows-free code,
# and a fuzzer for the payload reader.
find_package(ZLIB REQUIRED)

option(QWP_SANITIZE "Build host tests with ASan and UBSan" ON)
option(QWP_FUZZ "Build the libFuzzer target (needs clang)" OFF)

include(${CMAKE_SOURCE_DIR}/cmake/Libdeflate.cmake)

add_library(qwp_portable STATIC ${QWP_PORTABLE_SOURCES})
target_include_directories(qwp_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(qwp_portable PUBLIC qwp_libdeflate ZLIB::ZLIB)
target_compile_options(qwp_portable PRIVATE -Wall -Wextra)

add_executable(pack_payload tools/pack_payload.cpp)
target_link_libraries(pack_payload PRIVATE qwp_portable)
add_executable(list_payload tools/list_payload.cpp)
target_link_libraries(list_payload PRIVATE qwp_portable)

set(QWP_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB QWP_HOST_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*/*PureTest.cpp)
add_library(qwp_portable_checked STATIC ${QWP_PORTABLE_SOURCES})
target_include_directories(qwp_portable_checked PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(qwp_portable_checked PUBLIC qwp_libdeflate ZLIB::ZLIB)
add_executable(host_tests ${QWP_HOST_TEST_SOURCES})
target_link_libraries(host_tests PRIVATE qwp_portable_checked GTest::gtest_main)
target_compile_definitions(host_tests PRIVATE QWP_PACKER_PATH="$<TARGET_FILE:pack_payload>"
                           QWP_LIST_PAYLOAD_PATH="$<TARGET_FILE:list_payload>"
                           QWP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(host_tests pack_payload list_payload)
if(QWP_SANITIZE)
  foreach(t qwp_portable_checked host_tests)
    target_compile_options(${t} PRIVATE ${QWP_SANITIZER_FLAGS})
    target_link_options(${t} PRIVATE ${QWP_SANITIZER_FLAGS})
  endforeach()
endif()

enable_testing()
add_test(NAME host_tests COMMAND host_tests --gtest_output=xml:${CMAKE_BINARY_DIR}/results/host_tests.xml)

if(QWP_FUZZ)
  set(QWP_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
  # libdeflate compiled in with the fuzzer's instrumentation, so its paths
  # are explored and its memory accesses checked as the project's own.
  add_executable(payload_fuzz tests/fuzz/PayloadFuzz.cpp ${QWP_PORTABLE_SOURCES}
    ${QWP_LIBDEFLATE_ROOT}/lib/deflate_decompress.c ${QWP_LIBDEFLATE_ROOT}/lib/zlib_decompress.c
    ${QWP_LIBDEFLATE_ROOT}/lib/adler32.c ${QWP_LIBDEFLATE_ROOT}/lib/utils.c
    ${QWP_LIBDEFLATE_ROOT}/lib/x86/cpu_features.c)
  target_include_directories(payload_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
  target_include_directories(payload_fuzz SYSTEM PRIVATE ${QWP_LIBDEFLATE_ROOT})
  target_link_libraries(payload_fuzz PRIVATE ZLIB::ZLIB)
  target_compile_options(payload_fuzz PRIVATE ${QWP_FUZZ_FLAGS} -g -O1)
  target_link_options(payload_fuzz PRIVATE ${QWP_FUZZ_FLAGS})
endif()
