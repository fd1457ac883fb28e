# The benchmarks of make bench (built with the tests).
add_library(qwp_bench_support STATIC bench/BenchSupport.cpp)
target_link_libraries(qwp_bench_support PUBLIC qwp_instutils)

# The in-memory halves of an install against their floors.
add_executable(install_bench bench/InstallBench.cpp)
target_link_libraries(install_bench PRIVATE qwp_bench_support qwp_payload qwp_controls qwp_instutils)

# A whole silent install as a process against a process that only inflates
# and writes the same files.
add_executable(plain_write_floor bench/PlainWriteFloor.cpp)
target_link_libraries(plain_write_floor PRIVATE qwp_bench_support ZLIB::ZLIB)
add_executable(silent_install_bench bench/SilentInstallBench.cpp bench/PlannedCopies.cpp)
target_link_libraries(silent_install_bench PRIVATE qwp_bench_support qwp_payload qwp_instutils)
add_dependencies(silent_install_bench setup setup_timed plain_write_floor)

# The setup linked with the benchmark's phase recorder, for the table of
# where a run's time goes; the ratios are measured on the shipped link.
function(qwp_timed_setup name resources)
  add_executable(${name} WIN32 EXCLUDE_FROM_ALL setup/SetupMain.cpp bench/PhaseRecorder.cpp ${resources})
  target_link_libraries(${name} PRIVATE qwp_setup)
  target_link_options(${name} PRIVATE ${QWP_SETUP_LINK_OPTIONS})
endfunction()
qwp_timed_setup(setup_timed ${CMAKE_SOURCE_DIR}/resources/setup.rc)
target_include_directories(setup_timed PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/payload ${CMAKE_SOURCE_DIR}/resources)
add_dependencies(setup_timed payload)

# Start-up of the real setup against a program that only opens a window.
# The driver's sources are compiled in, not its test library.
add_executable(empty_window WIN32 bench/EmptyWindow.cpp)
add_executable(startup_bench bench/StartupBench.cpp tests/support/ProcessDriver.cpp tests/support/TempFolder.cpp)
target_include_directories(startup_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(startup_bench PRIVATE
  QWP_BUILD_DIR="${CMAKE_BINARY_DIR}" QWP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(startup_bench PRIVATE qwp_bench_support ZLIB::ZLIB user32 gdi32)
add_dependencies(startup_bench setup empty_window)

# A large synthetic product (the sample's names, some 100 MB of generated
# text) and a setup carrying it. Built only when asked for (make bench):
# the generated files stay in the build folder.
#
# setup_large is a second link of the very setup program: the same objects
# and libraries, only the payload file found through its include folders is
# the large one. Nothing is patched into a finished program, so it is the
# setup exactly as the toolchain makes it.
set(QWP_LARGE_PRODUCT ${CMAKE_BINARY_DIR}/large-product)
set(QWP_LARGE_PAYLOAD ${QWP_LARGE_PRODUCT}/payload.bin)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB_RECURSE QWP_BENCH_SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sample/files/*)
add_custom_command(
  OUTPUT ${QWP_LARGE_PRODUCT}/manifest.tsv
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_large_product.py
          --manifest ${CMAKE_SOURCE_DIR}/sample/manifest.tsv --root ${CMAKE_SOURCE_DIR}/sample/files
          --out ${QWP_LARGE_PRODUCT}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_large_product.py ${CMAKE_SOURCE_DIR}/sample/manifest.tsv
          ${QWP_BENCH_SAMPLE_FILES}
  COMMENT "Generating the large product")
add_custom_command(
  OUTPUT ${QWP_LARGE_PAYLOAD}
  COMMAND ${QWP_PACKER} --manifest ${QWP_LARGE_PRODUCT}/manifest.tsv --root ${QWP_LARGE_PRODUCT}/files
          --qwp $<TARGET_FILE:qwp> --out ${QWP_LARGE_PAYLOAD}
  DEPENDS ${QWP_PACKER} ${QWP_LARGE_PRODUCT}/manifest.tsv qwp
  COMMENT "Packing the large product")
add_custom_target(large_payload DEPENDS ${QWP_LARGE_PAYLOAD})

set_source_files_properties(${CMAKE_SOURCE_DIR}/bench/LargeSetup.rc PROPERTIES
  OBJECT_DEPENDS "${QWP_LARGE_PAYLOAD};${QWP_RESOURCE_FILES}")
add_executable(setup_large WIN32 EXCLUDE_FROM_ALL setup/SetupMain.cpp bench/LargeSetup.rc)
target_include_directories(setup_large PRIVATE ${CMAKE_SOURCE_DIR} ${QWP_LARGE_PRODUCT} ${CMAKE_SOURCE_DIR}/resources)
target_link_libraries(setup_large PRIVATE qwp_setup)
target_link_options(setup_large PRIVATE ${QWP_SETUP_LINK_OPTIONS})
add_dependencies(setup_large large_payload)
qwp_timed_setup(setup_large_timed ${CMAKE_SOURCE_DIR}/bench/LargeSetup.rc)
target_include_directories(setup_large_timed PRIVATE ${CMAKE_SOURCE_DIR} ${QWP_LARGE_PRODUCT} ${CMAKE_SOURCE_DIR}/resources)
add_dependencies(setup_large_timed large_payload)
if(CMAKE_BUILD_TYPE STREQUAL "MinSizeRel")
  target_link_options(setup_large PRIVATE -s)
endif()

# The same product as an NSIS 3 installer (bench/peer/quilvane-peer.nsi), the
# peer that peer_bench times the setup against: the payload unpacked by the
# host's list_payload, its list of files made by tools/make_peer_files.py,
# compiled with Debian's makensis for this build's architecture. Built only
# when asked for (make bench); without makensis the target only says so.
add_executable(peer_bench bench/PeerBench.cpp bench/PlannedCopies.cpp)
target_link_libraries(peer_bench PRIVATE qwp_bench_support qwp_payload qwp_instutils ole32 uuid)
add_dependencies(peer_bench setup)
find_program(QWP_MAKENSIS makensis)
get_filename_component(QWP_HOST_TOOLS ${QWP_PACKER} DIRECTORY)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QWP_NSIS_TARGET amd64-unicode)
else()
  set(QWP_NSIS_TARGET x86-unicode)
endif()
function(qwp_nsis_peer name payload)
  set(work ${CMAKE_BINARY_DIR}/${name})
  set(script ${CMAKE_SOURCE_DIR}/bench/peer/quilvane-peer.nsi)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/${name}.exe
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${work}
    COMMAND sh -c "\"$0\" --extract \"$1\" \"$2\" > \"$3\"" ${QWP_HOST_TOOLS}/list_payload ${work}/tree ${payload}
            ${work}/listing.txt
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_peer_files.py --listing ${work}/listing.txt
            --out ${work}/files.nsh
    COMMAND ${QWP_MAKENSIS} -V2 -DQWP_TARGET=${QWP_NSIS_TARGET} -DQWP_TREE=${work}/tree -DQWP_FILES=${work}/files.nsh
            -DQWP_OUT=${CMAKE_BINARY_DIR}/${name}.exe ${script}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}/tree
    DEPENDS ${payload} ${script} ${CMAKE_SOURCE_DIR}/tools/make_peer_files.py ${QWP_HOST_TOOLS}/list_payload
    COMMENT "Building the NSIS peer ${name}.exe"
    VERBATIM)
endfunction()
if(QWP_MAKENSIS)
  qwp_nsis_peer(peer_setup ${QWP_PAYLOAD})
  qwp_nsis_peer(peer_setup_large ${QWP_LARGE_PAYLOAD})
  add_custom_target(nsis_peers DEPENDS ${CMAKE_BINARY_DIR}/peer_setup.exe ${CMAKE_BINARY_DIR}/peer_setup_large.exe)
  add_dependencies(nsis_peers payload large_payload)
else()
  add_custom_target(nsis_peers COMMAND ${CMAKE_COMMAND} -E echo "makensis not found: make bench times no NSIS peer")
endif()
