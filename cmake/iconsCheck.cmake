# The desktop icons as an icon theme reads them: datagen --icons writes one
# PNG per size, each decodes (ImageMagick checks every chunk's checksum and
# the compressed stream), is as large as its folder says, is see-through in
# the corner (the colour key) and solid in the middle (the fighter).
#   cmake -DDATAGEN=... -DDATA=data -DWORK=folder -P iconsCheck.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${DATAGEN}" --icons "${DATA}" "${WORK}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "datagen --icons failed (${rc})")
endif()
foreach(size 16 24 32 48 64 128 256)
  set(icon "${WORK}/${size}x${size}/apps/tavro-fighter.png")
  execute_process(COMMAND convert "${icon}" -format "%w %h %[fx:p{0,0}.a] %[fx:p{w/2,h/2}.a]" info:
                  OUTPUT_VARIABLE shown ERROR_VARIABLE problems RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT problems STREQUAL "")
    message(FATAL_ERROR "${icon} does not decode: ${problems}")
  endif()
  if(NOT shown STREQUAL "${size} ${size} 0 1")
    message(FATAL_ERROR "${icon}: width, height, corner alpha, middle alpha are ${shown}, "
                        "not ${size} ${size} 0 1")
  endif()
endforeach()
message(STATUS "7 icons, 16 to 256 pixels")
