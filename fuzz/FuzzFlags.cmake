# Instrumentation for the fuzz build: every library is compiled with coverage feedback for
# libFuzzer and with the address and undefined-behaviour sanitizers; the fuzzers link the
# libFuzzer driver (fuzz/CMakeLists.txt).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KTDV_FUZZ needs clang (configure with CC=clang CXX=clang++)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined -fno-sanitize=vptr)
add_link_options(-fsanitize=address,undefined)
