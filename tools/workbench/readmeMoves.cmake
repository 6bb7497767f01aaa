# The README's move list must be exactly the table `workbench --moves` makes
# from the shipped move file: the README's table (its header line and every
# "|" line after it) is compared with the printed one, row for row, so a
# stale, missing or extra row fails.  After a change to the moves, run
#   build/tools/workbench/workbench --moves data
# and paste its output over the README's table.
#   cmake -DWORKBENCH=... -DDATA=data -DREADME=README.md -P readmeMoves.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/workbenchLines.cmake)
workbench_lines(--moves table wanted)
list(GET wanted 0 header)

file(STRINGS "${README}" readme)
set(found "")
set(inTable FALSE)
foreach(line IN LISTS readme)
  if(NOT inTable AND line STREQUAL header)
    set(inTable TRUE)
  endif()
  if(inTable)
    if(NOT line MATCHES "^\\|")
      break()
    endif()
    list(APPEND found "${line}")
  endif()
endforeach()

if(NOT found STREQUAL wanted)
  list(JOIN found "\n" shown)
  if(shown STREQUAL "")
    set(shown "(no table with the header \"${header}\")")
  endif()
  message(FATAL_ERROR "the README's move list is not what the move file says.\n"
                      "workbench --moves ${DATA} prints:\n${table}\nthe README has:\n${shown}")
endif()
list(LENGTH found rows)
math(EXPR rows "${rows} - 2")
message(STATUS "the README's move list matches ${DATA} (${rows} moves)")
