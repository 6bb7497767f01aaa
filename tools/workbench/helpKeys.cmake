# Every key the workbench answers to must be named by `workbench --help`:
# each `case SDLK_...:` in the workbench's key handlers is looked up in the
# key column of the help's key list.  After adding a key, add its line to
# workbench::keyList().
#   cmake -DWORKBENCH=... -DSOURCE=workbench.cpp [-DEXTRA=SDLK_j] -P helpKeys.cmake
# EXTRA adds a key as if the source handled it, to show that the check
# catches a key the help leaves out.
execute_process(COMMAND "${WORKBENCH}" --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "workbench --help failed (${rc})")
endif()

# The key column: the first 31 characters of each line under "keys:",
# separators turned into spaces, so that " name " finds a key.
string(FIND "${help}" "keys:\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "workbench --help prints no key list:\n${help}")
endif()
string(SUBSTRING "${help}" ${start} -1 help)
string(REPLACE "\n" ";" lines "${help}")
set(column " ")
foreach(line IN LISTS lines)
  string(SUBSTRING "${line}" 0 31 keys)
  string(APPEND column " ${keys} ")
endforeach()
string(REGEX REPLACE "[,()]" " " column "${column}")

file(READ "${SOURCE}" source)
string(REGEX MATCHALL "case SDLK_[A-Za-z0-9_]+:" cases "${source}")
if(DEFINED EXTRA)
  list(APPEND cases "case ${EXTRA}:")
endif()
list(LENGTH cases count)
if(count LESS 10)
  message(FATAL_ERROR "found only ${count} key cases in ${SOURCE}")
endif()

set(missing "")
foreach(case IN LISTS cases)
  string(REGEX REPLACE "^case SDLK_(.*):$" "\\1" key "${case}")
  # How the help writes the key: letters in capitals, names in words.
  if(key MATCHES "^[a-z]$")
    string(TOUPPER "${key}" name)
  elseif(key STREQUAL "PAGEUP")
    set(name "PageUp")
  elseif(key STREQUAL "PAGEDOWN")
    set(name "PageDown")
  elseif(key STREQUAL "PERIOD" OR key STREQUAL "COMMA")
    string(TOLOWER "${key}" name)
  elseif(key STREQUAL "MINUS")
    set(name "-")
  elseif(key STREQUAL "EQUALS" OR key STREQUAL "PLUS")
    set(name "+")
  elseif(key MATCHES "^KP_")
    set(name "keypad")
  elseif(key STREQUAL "LEFTBRACKET")
    set(name "[")
  elseif(key STREQUAL "RIGHTBRACKET")
    set(name "]")
  elseif(key MATCHES "^F[0-9]+$")
    set(name "${key}")
  else()
    # ESCAPE -> Escape, DOWN -> Down
    string(SUBSTRING "${key}" 0 1 first)
    string(SUBSTRING "${key}" 1 -1 rest)
    string(TOLOWER "${rest}" rest)
    set(name "${first}${rest}")
  endif()
  string(FIND "${column}" " ${name} " at)
  if(at EQUAL -1)
    string(APPEND missing "  SDLK_${key} (written \"${name}\")\n")
  endif()
endforeach()

if(NOT missing STREQUAL "")
  message(FATAL_ERROR "workbench --help does not name these keys the workbench answers to:\n"
                      "${missing}")
endif()
message(STATUS "workbench --help names all ${count} keys the workbench answers to")
