# Plays one replay twice and fails unless both final states are identical.
# SECOND_ARGS, when given, go to the second run only ("--refresh 16": the web
# page's way of making the passes).
foreach(run 1 2)
  set(extra "")
  if(run EQUAL 2 AND DEFINED SECOND_ARGS)
    separate_arguments(extra UNIX_COMMAND "${SECOND_ARGS}")
  endif()
  execute_process(COMMAND ${REPLAY} ${FILE} ${extra} WORKING_DIRECTORY ${SOURCE_DIR}
                  OUTPUT_VARIABLE state${run} RESULT_VARIABLE code${run})
  if(NOT code${run} EQUAL 0)
    message(FATAL_ERROR "run ${run} of ${FILE} failed (${code${run}})")
  endif()
endforeach()
if(NOT state1 STREQUAL state2)
  message(FATAL_ERROR "two runs of ${FILE} differ:\n${state1}\n---\n${state2}")
endif()
