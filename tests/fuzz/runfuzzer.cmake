# Runs one libFuzzer target for CTest.
#   MODE=fuzz:   SECONDS of fuzzing from SEED. The committed CORPUS is read but never
#                written: new inputs go to a scratch folder under WORK, named first on
#                libFuzzer's command line, and emptied before every run.
#   MODE=replay: every input of CORPUS, once.
# A failing input is kept under WORK/artifacts; copy it into CORPUS to replay it always.
# libFuzzer runs in WORK, so that whatever it writes where it runs (fuzz-N.log with -jobs)
# stays in the build folder.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" OPTIONS "${OPTIONS}")
set(artifacts "${WORK}/artifacts")
file(MAKE_DIRECTORY "${artifacts}")
set(common -timeout=20 -artifact_prefix=${artifacts}/ ${OPTIONS})

if(MODE STREQUAL "replay")
    file(GLOB inputs LIST_DIRECTORIES false "${CORPUS}/*")
    list(LENGTH inputs count)
    if(count EQUAL 0)
        message(FATAL_ERROR "no inputs in ${CORPUS}")
    endif()
    execute_process(COMMAND "${FUZZER}" ${common} ${inputs} WORKING_DIRECTORY "${WORK}"
                    RESULT_VARIABLE result)
    message(STATUS "replayed ${count} inputs of ${CORPUS}")
else()
    set(scratch "${WORK}/scratch")
    file(REMOVE_RECURSE "${scratch}")
    file(MAKE_DIRECTORY "${scratch}")
    execute_process(COMMAND "${FUZZER}" -seed=${SEED} -max_total_time=${SECONDS}
                            -print_final_stats=1 ${common} "${scratch}" "${CORPUS}"
                    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE result)
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the failing input is in ${artifacts}")
endif()
