# Included by the top-level CMakeLists.txt before the libraries, when
# CORVANE_FUZZ is on: everything in this build is instrumented for libFuzzer
# and checked by AddressSanitizer and UndefinedBehaviorSanitizer.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CORVANE_FUZZ needs clang: configure with CC=clang CXX=clang++ (fuzz/run.sh does)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
