# The fuzz build: the fuzz preset includes this file at the end of the project's
# project() call. Every library is instrumented for libFuzzer with the address and
# undefined-behaviour sanitizers; the targets of tests/fuzz link the fuzzer's main.
# Only clang has libFuzzer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The fuzz build needs clang++ (libFuzzer)")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=all)
# Library assertions catch out-of-range indexing inside a string's own buffer.
add_compile_definitions(_GLIBCXX_ASSERTIONS)
add_link_options(-fsanitize=address,undefined)

# The targets need the libraries, which the top directory adds after this file runs;
# a deferred call may not add a subdirectory, so the targets join the top directory.
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR}
               CALL include ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_targets.cmake)
