# The web page's move rows must be exactly what `workbench --moves-html`
# prints from the shipped move file, the same list the README's table comes
# from: the lines between the page's "<!-- moves:" and "<!-- end of moves -->"
# comments are compared row for row.  After a change to the moves, run
#   build/tools/workbench/workbench --moves-html data
# and paste its output between the two comments in web/index.html.
#   cmake -DWORKBENCH=... -DDATA=data -DPAGE=web/index.html -P webMoves.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/workbenchLines.cmake)
workbench_lines(--moves-html rows wanted)

file(STRINGS "${PAGE}" page)
set(found "")
set(inBlock FALSE)
set(closed FALSE)
foreach(line IN LISTS page)
  if(line MATCHES "<!-- end of moves -->")
    set(closed TRUE)
    break()
  endif()
  if(inBlock)
    list(APPEND found "${line}")
  endif()
  if(line MATCHES "<!-- moves:")
    set(inBlock TRUE)
  endif()
endforeach()

if(NOT closed OR NOT found STREQUAL wanted)
  list(JOIN found "\n" shown)
  message(FATAL_ERROR "the web page's move rows are not what the move file says.\n"
                      "workbench --moves-html ${DATA} prints:\n${rows}\nthe page has:\n${shown}")
endif()
list(LENGTH found count)
message(STATUS "the web page's move rows match ${DATA} (${count} moves)")
