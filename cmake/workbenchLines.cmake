# What `workbench OPTION DATA` prints, for the scripts that write or check
# the move lists (the man page, the README, the web page): the text without
# its last newline in `text`, its lines as a list in `lines`.  Stops the
# script when the workbench fails or prints nothing.
function(workbench_lines option text lines)
  execute_process(COMMAND "${WORKBENCH}" ${option} "${DATA}"
                  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR out STREQUAL "")
    message(FATAL_ERROR "workbench ${option} ${DATA} failed (${rc})")
  endif()
  string(REGEX REPLACE "\n$" "" out "${out}")
  string(REPLACE "\n" ";" split "${out}")
  set(${text} "${out}" PARENT_SCOPE)
  set(${lines} "${split}" PARENT_SCOPE)
endfunction()
