# The checked build that `make test` runs besides the ordinary one (build-san): AddressSanitizer and
# UndefinedBehaviorSanitizer over the toolkit-free code and its tests, where any report ends the process
# that made it, and, with clang, the fuzz targets under fuzz/ (libFuzzer). The code is then compiled with
# libFuzzer's coverage counters too, so that one build serves both.
option(TARNWELL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TARNWELL_FUZZ "Build the fuzz targets under fuzz/ (needs clang)" OFF)

# What the tests of a sanitized build get in their environment: stop at the first report, with its stack
# in source lines.
set(TARNWELL_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1"
    "UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1")
find_program(TARNWELL_SYMBOLIZER NAMES llvm-symbolizer-16 llvm-symbolizer)
if(TARNWELL_SYMBOLIZER)
    list(APPEND TARNWELL_SANITIZER_ENVIRONMENT "ASAN_SYMBOLIZER_PATH=${TARNWELL_SYMBOLIZER}")
endif()

if(TARNWELL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(TARNWELL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TARNWELL_FUZZ needs clang (libFuzzer)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
