# Writes the man page from its template, with the move list the README shows:
# the table `workbench --moves` prints for the move file, one entry per row.
#   cmake -DWORKBENCH=... -DDATA=data -DTEMPLATE=tavro-fighter.6.in -DOUT=tavro-fighter.6
#         -DPROJECT_VERSION=... -DTAVRO_RELEASE_DATE=... -DTAVRO_DATA_PATH=... -P manPage.cmake
execute_process(COMMAND "${WORKBENCH}" --moves "${DATA}"
                OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR table STREQUAL "")
  message(FATAL_ERROR "workbench --moves ${DATA} failed (${rc})")
endif()
string(REGEX REPLACE "\n$" "" table "${table}")
string(REPLACE "\n" ";" rows "${table}")
# The first two rows are the table's header and its rule.
list(REMOVE_AT rows 0 1)
set(TAVRO_MOVE_LIST "")
foreach(row IN LISTS rows)
  if(NOT row MATCHES "^\\| `([^`]+)` \\| ([^|]+) \\| ([^|]+) \\|$")
    message(FATAL_ERROR "unexpected row in the move list: ${row}")
  endif()
  # A hyphen in a man page is \-; nothing else in the table is special.
  foreach(part 1 2 3)
    string(REPLACE "-" "\\-" cell${part} "${CMAKE_MATCH_${part}}")
  endforeach()
  string(APPEND TAVRO_MOVE_LIST ".TP\n.B ${cell1}\n${cell2}: ${cell3}.\n")
endforeach()
string(REGEX REPLACE "\n$" "" TAVRO_MOVE_LIST "${TAVRO_MOVE_LIST}")
string(REPLACE "-" "\\-" TAVRO_DATA_PATH "${TAVRO_DATA_PATH}")
configure_file("${TEMPLATE}" "${OUT}" @ONLY)
