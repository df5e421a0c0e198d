# Runs the independent reader of the real sheet again and compares its table
# with the one the unit test reads.
execute_process(COMMAND ${PYTHON} ${SCRIPT} ${SHEET} OUTPUT_FILE ${ACTUAL} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${SCRIPT} failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${ACTUAL} RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "${ACTUAL} differs from ${EXPECTED}")
endif()
