# Plays one example session moved so that its drawing lies at each corner of the world (+-2e9
# drawing units): the session must still play to its end, and a sanitizer build must find no
# undefined behaviour on the way. The extent is taken from a run where the session was written.
#   -DTRACELON=... -DSESSION=dir/NAME.session -DWORK=scratch folder
set(world 2000000000)

get_filename_component(dir ${SESSION} DIRECTORY)
get_filename_component(name ${SESSION} NAME_WE)

# The extent of the drawing the session makes where it was written, from its SVG.
file(REMOVE_RECURSE ${WORK})
execute_process(
  COMMAND ${TRACELON} run ${SESSION} --root ${WORK}/plain/root --quiet --svg ${WORK}/plain.svg
  WORKING_DIRECTORY ${dir}
  RESULT_VARIABLE status
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${name} does not play where it was written:\n${errors}")
endif()
file(READ ${WORK}/plain.svg svg LIMIT 1000)
foreach(attribute min-x max-x min-y max-y)
  if(NOT svg MATCHES "data-${attribute}=\"(-?[0-9]+)\\.")
    message(FATAL_ERROR "${name}: no data-${attribute} in the drawing's SVG")
  endif()
  string(REPLACE "-" "_" variable ${attribute})
  set(${variable} ${CMAKE_MATCH_1})
endforeach()

set(failures "")
foreach(corner "+ +" "+ -" "- +" "- -")
  string(REPLACE " " ";" signs "${corner}")
  list(GET signs 0 sx)
  list(GET signs 1 sy)
  if(sx STREQUAL "+")
    math(EXPR dx "${world} - ${max_x}")
  else()
    math(EXPR dx "-${world} - ${min_x}")
  endif()
  if(sy STREQUAL "+")
    math(EXPR dy "${world} - ${max_y}")
  else()
    math(EXPR dy "-${world} - ${min_y}")
  endif()
  string(REPLACE "+" "p" sx "${sx}")
  string(REPLACE "-" "m" sx "${sx}")
  string(REPLACE "+" "p" sy "${sy}")
  string(REPLACE "-" "m" sy "${sy}")
  set(work ${WORK}/${sx}${sy})
  file(REMOVE_RECURSE ${work})
  execute_process(
    COMMAND ${TRACELON} run ${SESSION} --root ${work}/root --quiet --offset ${dx} ${dy}
            --svg ${work}/drawing.svg
    WORKING_DIRECTORY ${dir}
    RESULT_VARIABLE status
    ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR errors MATCHES "runtime error|Sanitizer")
    string(APPEND failures "\n--offset ${dx} ${dy} (exit ${status}):\n${errors}")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${name} at the corners of the world:${failures}")
endif()
