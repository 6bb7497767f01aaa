# The README's move list must be the table `workbench --moves` makes from the
# shipped move file, row for row: regenerate it with
#   build/tools/workbench/workbench --moves data
# and paste it over the old one when the moves change.
#   cmake -DWORKBENCH=... -DDATA=data -DREADME=README.md -P readmeMoves.cmake
execute_process(COMMAND "${WORKBENCH}" --moves "${DATA}"
                OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR table STREQUAL "")
  message(FATAL_ERROR "workbench --moves ${DATA} failed (${rc})")
endif()
file(READ "${README}" readme)
string(FIND "${readme}" "${table}" at)
if(at EQUAL -1)
  # Show the README's table beside the one it should be.
  string(FIND "${table}" "\n" headerEnd)
  string(SUBSTRING "${table}" 0 ${headerEnd} header)
  string(FIND "${readme}" "${header}" start)
  set(shown "(no table with the header \"${header}\")")
  if(NOT start EQUAL -1)
    string(SUBSTRING "${readme}" ${start} -1 rest)
    string(FIND "${rest}" "\n\n" stop)
    string(SUBSTRING "${rest}" 0 ${stop} shown)
  endif()
  message(FATAL_ERROR "the README's move list is not what the move file says.\n"
                      "workbench --moves ${DATA} prints:\n${table}\nthe README has:\n${shown}")
endif()
message(STATUS "the README's move list matches ${DATA}")
