# Writes the man page from its template, with the move list the README shows:
# the table `workbench --moves` prints for the move file, one entry per row.
#   cmake -DWORKBENCH=... -DDATA=data -DTEMPLATE=tavro-fighter.6.in -DOUT=tavro-fighter.6
#         -DPROJECT_VERSION=... -DTAVRO_RELEASE_DATE=... -DTAVRO_DATA_PATH=... -P manPage.cmake
include(${CMAKE_CURRENT_LIST_DIR}/workbenchLines.cmake)
workbench_lines(--moves table rows)

# The cells of a Markdown table row, "| a | b |", into the list `out`.
function(cells row out)
  string(REGEX REPLACE "^\\| (.*) \\|$" "\\1" row "${row}")
  string(REPLACE " | " ";" row "${row}")
  set(${out} "${row}" PARENT_SCOPE)
endfunction()

# The first two rows are the table's header and its rule.  Each move is an
# entry: its name, then its keys and where it works, then the other columns
# as "column: value".
list(GET rows 0 header)
cells("${header}" columns)
list(LENGTH columns width)
if(width LESS 3)
  message(FATAL_ERROR "unexpected header of the move list: ${header}")
endif()
list(REMOVE_AT rows 0 1)
set(TAVRO_MOVE_LIST "")
foreach(row IN LISTS rows)
  cells("${row}" values)
  list(LENGTH values count)
  if(NOT count EQUAL width)
    message(FATAL_ERROR "unexpected row in the move list: ${row}")
  endif()
  list(GET values 0 name)
  list(GET values 1 keys)
  list(GET values 2 where)
  string(REPLACE "`" "" name "${name}")
  set(more "")
  if(width GREATER 3)
    math(EXPR last "${width} - 1")
    foreach(i RANGE 3 ${last})
      list(GET columns ${i} column)
      list(GET values ${i} value)
      list(APPEND more "${column}: ${value}")
    endforeach()
    list(JOIN more "; " more)
    string(SUBSTRING "${more}" 0 1 first)
    string(SUBSTRING "${more}" 1 -1 rest)
    string(TOUPPER "${first}" first)
    set(more "${first}${rest}")
    set(more "\n${more}.")
  endif()
  set(entry ".TP\n.B ${name}\n${keys}: ${where}.${more}\n")
  # A hyphen in a man page is \-; nothing else in the table is special.
  string(REPLACE "-" "\\-" entry "${entry}")
  string(APPEND TAVRO_MOVE_LIST "${entry}")
endforeach()
string(REGEX REPLACE "\n$" "" TAVRO_MOVE_LIST "${TAVRO_MOVE_LIST}")
string(REPLACE "-" "\\-" TAVRO_DATA_PATH "${TAVRO_DATA_PATH}")
configure_file("${TEMPLATE}" "${OUT}" @ONLY)
