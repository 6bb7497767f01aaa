# The move-list check itself: a README whose table has one row too many, one
# too few, or a changed row must fail it.
#   cmake -DWORKBENCH=... -DDATA=data -DWORK=dir -P readmeMovesCatches.cmake
execute_process(COMMAND "${WORKBENCH}" --moves "${DATA}" OUTPUT_VARIABLE table)
string(REGEX REPLACE "\n$" "" table "${table}")
string(REGEX REPLACE "\n[^\n]*$" "" shorter "${table}")
string(REPLACE "Forward, Z |" "Forward, X |" changed "${table}")
file(MAKE_DIRECTORY "${WORK}")
set(cases "extra\;${table}\n| `ghost` | Z | ground |" "missing\;${shorter}" "changed\;${changed}")
foreach(case IN LISTS cases)
  list(GET case 0 name)
  list(GET case 1 body)
  file(WRITE "${WORK}/${name}.md" "# Moves\n\n${body}\n\nText after the table.\n")
  execute_process(COMMAND "${CMAKE_COMMAND}" -DWORKBENCH=${WORKBENCH} -DDATA=${DATA}
                          -DREADME=${WORK}/${name}.md -P ${CMAKE_CURRENT_LIST_DIR}/readmeMoves.cmake
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(rc EQUAL 0)
    message(FATAL_ERROR "the move-list check passed a README with a ${name} row")
  endif()
endforeach()
# And the right table passes.
file(WRITE "${WORK}/right.md" "# Moves\n\n${table}\n\nText after the table.\n")
execute_process(COMMAND "${CMAKE_COMMAND}" -DWORKBENCH=${WORKBENCH} -DDATA=${DATA}
                        -DREADME=${WORK}/right.md -P ${CMAKE_CURRENT_LIST_DIR}/readmeMoves.cmake
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the move-list check refused the right table")
endif()
message(STATUS "the move-list check refuses extra, missing and changed rows")
