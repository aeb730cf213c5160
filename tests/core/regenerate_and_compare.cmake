# Runs GENERATOR with PYTHON into OUTPUT and fails unless OUTPUT equals
# COMMITTED byte for byte.
execute_process(COMMAND ${PYTHON} ${GENERATOR} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed (${status})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED} RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${COMMITTED} differs from what ${GENERATOR} computes now (written to ${OUTPUT}); "
                      "rerun the generator and commit its output")
endif()
message(STATUS "${COMMITTED} is reproduced byte for byte")
