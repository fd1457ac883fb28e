# The Windows programs: the setup, the stand-in word processor it carries, and
# (for the build that runs under wine64) the test executables.
enable_language(RC)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run.sh)

set(QWP_PACKER "" CACHE FILEPATH "The host payload packer (pack_payload)")
set(QWP_LIBPNG_PREFIX "" CACHE PATH "Install prefix of libpng built for this target")
option(QWP_TESTS "Build the test executables" OFF)

if(NOT QWP_PACKER)
  message(FATAL_ERROR "QWP_PACKER must name the host pack_payload tool")
endif()

# ANSI Windows API, Windows 7 headers; newer functions are looked up at run time.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
add_compile_options(-Wall -Wextra -ffunction-sections -fdata-sections)
# std::string's members compiled where they are used, as in C++20, instead of
# linked from the runtime library's one object that holds them all: the PE
# linker keeps every function an object's unwind tables name, so that object
# came whole, some 33 KB, where the setup uses a third of it. The value -1
# is the headers' own switch for this (set by _GLIBCXX_ASSERTIONS) and
# touches no other template.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/string-members-inline.h CONTENT
  "#include <bits/c++config.h>\n#undef _GLIBCXX_EXTERN_TEMPLATE\n#define _GLIBCXX_EXTERN_TEMPLATE -1\n")
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-include${CMAKE_BINARY_DIR}/string-members-inline.h>)
# Static runtime; no link-time stamp, so the same sources give the same bytes.
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -Wl,--no-insert-timestamp)

# Static zlib only: a zlib1.dll beside the setup would be searched for.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
find_library(QWP_PNG_LIBRARY NAMES png16 png PATHS ${QWP_LIBPNG_PREFIX}/lib
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(qwp_png STATIC IMPORTED)
set_target_properties(qwp_png PROPERTIES
  IMPORTED_LOCATION ${QWP_PNG_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${QWP_LIBPNG_PREFIX}/include
  INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)

# Only DLLs Windows never looks for beside the program (the KnownDLLs), plus
# comctl32, which the manifest binds to the system's side-by-side copy.
set(QWP_SYSTEM_LIBS kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 shlwapi comdlg32 comctl32 uuid)

function(qwp_module name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/SetupMain\\.cpp$")
  if(NOT sources)
    # A module with no code yet still links as an interface of its dependencies.
    add_library(qwp_${name} INTERFACE)
    target_include_directories(qwp_${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(qwp_${name} INTERFACE ${ARGN} ${QWP_SYSTEM_LIBS})
    return()
  endif()
  add_library(qwp_${name} STATIC ${sources})
  target_include_directories(qwp_${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(qwp_${name} PUBLIC ${ARGN} ${QWP_SYSTEM_LIBS})
endfunction()

include(${CMAKE_SOURCE_DIR}/cmake/Libdeflate.cmake)

qwp_module(instutils ZLIB::ZLIB)
qwp_module(controls qwp_instutils qwp_png)
qwp_module(payload qwp_instutils qwp_libdeflate ZLIB::ZLIB)
qwp_module(registration qwp_instutils)
qwp_module(session qwp_payload qwp_registration qwp_instutils)
qwp_module(wizard qwp_session qwp_payload qwp_registration qwp_controls qwp_instutils)

# The stand-in word processor, built for the same architecture as the setup.
add_executable(qwp WIN32 sample/qwp/qwp.cpp)
target_link_libraries(qwp PRIVATE user32 kernel32)

# The payload: every entry of the product's manifest packed into one zlib
# stream. The product folder holds manifest.tsv and, below files/, what it
# names; the sample product is the default.
set(QWP_PRODUCT_DIR ${CMAKE_SOURCE_DIR}/sample CACHE PATH "The product folder: manifest.tsv and files/")
set(QWP_PAYLOAD ${CMAKE_BINARY_DIR}/payload/payload.bin)
file(GLOB_RECURSE QWP_PRODUCT_FILES CONFIGURE_DEPENDS ${QWP_PRODUCT_DIR}/files/*)
add_custom_command(
  OUTPUT ${QWP_PAYLOAD}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/payload
  COMMAND ${QWP_PACKER} --manifest ${QWP_PRODUCT_DIR}/manifest.tsv
          --root ${QWP_PRODUCT_DIR}/files --qwp $<TARGET_FILE:qwp> --out ${QWP_PAYLOAD}
  DEPENDS ${QWP_PACKER} ${QWP_PRODUCT_DIR}/manifest.tsv ${QWP_PRODUCT_FILES} qwp
  COMMENT "Packing the payload")
add_custom_target(payload DEPENDS ${QWP_PAYLOAD})

file(GLOB QWP_RESOURCE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/setup.rc PROPERTIES
  OBJECT_DEPENDS "${QWP_PAYLOAD};${QWP_RESOURCE_FILES}")
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/ui.rc PROPERTIES
  OBJECT_DEPENDS "${QWP_RESOURCE_FILES}")

qwp_module(setup qwp_wizard qwp_session qwp_registration qwp_payload qwp_controls qwp_instutils)
add_executable(setup WIN32 setup/SetupMain.cpp resources/setup.rc)
target_include_directories(setup PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/payload ${CMAKE_SOURCE_DIR}/resources)
target_link_libraries(setup PRIVATE qwp_setup)
# The whole payload lives in memory: a 32-bit setup on 64-bit Windows may
# use 4 GB of addresses instead of 2 GB.
set(QWP_LARGE_ADDRESS_AWARE $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-Wl,--large-address-aware>)
add_dependencies(setup payload)
# The setup starts no threads of its own, yet the posix-thread runtime links
# its whole threads library (some 30 KB) for the locks of thread-safe statics,
# the exception pool and per-thread exception state. The same compiler's
# Win32-thread runtime does these with the system's own locks: the setup is
# linked against it. The two runtimes share their ABI; only the threads
# behind those locks differ, and the setup's own code calls no threads
# function (the link would fail if it did, as that runtime has none).
execute_process(COMMAND ${MINGW_TRIPLET}-g++-win32 -print-libgcc-file-name
                OUTPUT_VARIABLE QWP_WIN32_THREADS_LIBGCC OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE QWP_WIN32_THREADS_FOUND)
if(NOT QWP_WIN32_THREADS_FOUND EQUAL 0 OR NOT EXISTS "${QWP_WIN32_THREADS_LIBGCC}")
  message(FATAL_ERROR "${MINGW_TRIPLET}-g++-win32 is needed to link the setup (tools/bootstrap.sh installs it)")
endif()
get_filename_component(QWP_WIN32_THREADS_RUNTIME ${QWP_WIN32_THREADS_LIBGCC} DIRECTORY)
# How every link of the setup program is made (the benchmark's large one too).
set(QWP_SETUP_LINK_OPTIONS ${QWP_LARGE_ADDRESS_AWARE} -B${QWP_WIN32_THREADS_RUNTIME}/)
target_link_options(setup PRIVATE ${QWP_SETUP_LINK_OPTIONS})
if(CMAKE_BUILD_TYPE STREQUAL "MinSizeRel")
  target_link_options(setup PRIVATE -s)
  target_link_options(qwp PRIVATE -s)
endif()

if(QWP_TESTS)
  include(cmake/WindowsTests.cmake)
endif()

if(QWP_TESTS)
  include(cmake/Benchmarks.cmake)
endif()
