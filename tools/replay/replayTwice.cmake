# Plays one replay twice and fails unless both final states are identical.
foreach(run 1 2)
  execute_process(COMMAND ${REPLAY} ${FILE} WORKING_DIRECTORY ${SOURCE_DIR}
                  OUTPUT_VARIABLE state${run} RESULT_VARIABLE code${run})
  if(NOT code${run} EQUAL 0)
    message(FATAL_ERROR "run ${run} of ${FILE} failed (${code${run}})")
  endif()
endforeach()
if(NOT state1 STREQUAL state2)
  message(FATAL_ERROR "two runs of ${FILE} differ:\n${state1}\n---\n${state2}")
endif()
