# cmake -DEMULATOR=<emulator> -DPROGRAM=<program.exe> -DSECONDS=<n> -P expect_crash.cmake
#
# Runs the program, which crashes on purpose, through the emulator and passes only when it ended as that
# crash within the given seconds: the exit status of an access violation (0xC0000005; Wine passes its low
# byte on, 5) and Wine's word for it on standard error. A program that hangs, exits by itself with
# another status, or says nothing of the fault fails the test.

set(expected_status 5)
string(TIMESTAMP started "%s%f" UTC)
execute_process(COMMAND ${EMULATOR} ${PROGRAM}
                INPUT_FILE /dev/null
                RESULT_VARIABLE status
                OUTPUT_VARIABLE output
                ERROR_VARIABLE errors
                TIMEOUT ${SECONDS})
string(TIMESTAMP ended "%s%f" UTC)
math(EXPR elapsed_ms "(${ended} - ${started}) / 1000")

if(NOT status STREQUAL "${expected_status}")
    message(FATAL_ERROR "expected the exit status of an access violation (${expected_status}) within ${SECONDS} s, "
                        "saw '${status}' after ${elapsed_ms} ms\n${output}${errors}")
endif()
if(NOT errors MATCHES "Unhandled page fault on read access to 0+ ")
    message(FATAL_ERROR "exit status ${status}, but Wine did not report the fault:\n${output}${errors}")
endif()
message(STATUS "crashed as expected (status ${status}) in ${elapsed_ms} ms")
