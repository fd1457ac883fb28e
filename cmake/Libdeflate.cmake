# libdeflate's decompressor, built from the unpacked Debian source package
# (tools/bootstrap.sh fetches it) as a static library of this build: the
# zlib wrapper, the DEFLATE decompressor, Adler-32, the x86 CPU-feature code
# and their helpers, with the target's own optimisation (for the shipped
# i686 setup -Os: measured as fast as -O2 on the payload, and 2.5 KB
# smaller); its own warnings are not ours to mend.
set(QWP_LIBDEFLATE_DIR "" CACHE PATH "Folder holding the unpacked libdeflate source package (the Makefile passes it)")
file(GLOB QWP_LIBDEFLATE_CANDIDATES LIST_DIRECTORIES true ${QWP_LIBDEFLATE_DIR}/libdeflate-*)
set(QWP_LIBDEFLATE_ROOT "")
foreach(candidate ${QWP_LIBDEFLATE_CANDIDATES})
  if(EXISTS ${candidate}/lib/deflate_decompress.c AND EXISTS ${candidate}/libdeflate.h)
    set(QWP_LIBDEFLATE_ROOT ${candidate})
  endif()
endforeach()
if(NOT QWP_LIBDEFLATE_ROOT)
  message(FATAL_ERROR "no libdeflate source below QWP_LIBDEFLATE_DIR (\"${QWP_LIBDEFLATE_DIR}\"): run make, which fetches it")
endif()

add_library(qwp_libdeflate STATIC
  ${QWP_LIBDEFLATE_ROOT}/lib/deflate_decompress.c
  ${QWP_LIBDEFLATE_ROOT}/lib/zlib_decompress.c
  ${QWP_LIBDEFLATE_ROOT}/lib/adler32.c
  ${QWP_LIBDEFLATE_ROOT}/lib/utils.c
  ${QWP_LIBDEFLATE_ROOT}/lib/x86/cpu_features.c)
target_include_directories(qwp_libdeflate SYSTEM PUBLIC ${QWP_LIBDEFLATE_ROOT})
target_compile_options(qwp_libdeflate PRIVATE -w)
# It calls nothing of ours, so no exception ever unwinds through its frames:
# on Windows its unwind tables (1 KB of the setup) are left out.
if(WIN32)
  target_compile_options(qwp_libdeflate PRIVATE -fno-asynchronous-unwind-tables)
endif()
set_target_properties(qwp_libdeflate PROPERTIES POSITION_INDEPENDENT_CODE ON)
