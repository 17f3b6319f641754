# One fuzzing run of ./test: new inputs go to WORK in the build tree, the
# checked-in CORPUS is only read, and the run fails if CORPUS changed anyway
# (a test run must leave the source tree as it found it).
file(GLOB before RELATIVE "${CORPUS}" "${CORPUS}/*")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${FUZZER}" -max_total_time=${SECONDS} -print_final_stats=1 "${WORK}"
                        "${CORPUS}"
                RESULT_VARIABLE rc)
file(GLOB after RELATIVE "${CORPUS}" "${CORPUS}/*")
if(NOT before STREQUAL after)
    message(FATAL_ERROR "the fuzzer changed the checked-in corpus ${CORPUS}")
endif()
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the fuzzer failed: ${rc}")
endif()
