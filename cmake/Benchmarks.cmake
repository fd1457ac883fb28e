# The benchmarks of make bench (built with the tests).
add_executable(install_bench bench/InstallBench.cpp resources/setup.rc)
target_include_directories(install_bench PRIVATE ${CMAKE_BINARY_DIR}/payload ${CMAKE_SOURCE_DIR}/resources)
target_link_libraries(install_bench PRIVATE qwp_payload qwp_controls qwp_instutils)
add_dependencies(install_bench payload)

# Start-up of the real setup against a program that only opens a window.
# The driver's sources are compiled in, not its test library.
add_executable(empty_window WIN32 bench/EmptyWindow.cpp)
add_executable(startup_bench bench/StartupBench.cpp tests/support/ProcessDriver.cpp tests/support/TempFolder.cpp)
target_include_directories(startup_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(startup_bench PRIVATE
  QWP_BUILD_DIR="${CMAKE_BINARY_DIR}" QWP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(startup_bench PRIVATE ZLIB::ZLIB user32 gdi32)
add_dependencies(startup_bench setup empty_window)
