# Plays one golden session and compares what it produced with its expectations.
#   -DTRACELON=... -DPLUGIN=... -DSESSION=dir/NAME.session -DWORK=scratch folder
get_filename_component(dir ${SESSION} DIRECTORY)
get_filename_component(name ${SESSION} NAME_WE)
set(expected_transcript ${dir}/${name}.transcript)
set(expected_json ${dir}/${name}.json)
set(expected_error ${dir}/${name}.error)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
  COMMAND ${TRACELON} run ${SESSION} --root ${WORK}/root --plugin ${PLUGIN} --quiet
          --transcript ${WORK}/transcript.txt --json ${WORK}/drawing.json --svg ${WORK}/drawing.svg
  WORKING_DIRECTORY ${dir}
  RESULT_VARIABLE status
  ERROR_VARIABLE errors)

# Paths of this machine in messages are written as <WORK> and <DIR>, so expectations are portable.
string(REPLACE "${WORK}" "<WORK>" errors "${errors}")
string(REPLACE "${dir}" "<DIR>" errors "${errors}")

if("$ENV{QXT_BLESS}" STREQUAL "1")
  if(EXISTS ${expected_error})
    file(WRITE ${expected_error} "${errors}")
  else()
    file(COPY_FILE ${WORK}/transcript.txt ${expected_transcript})
    file(COPY_FILE ${WORK}/drawing.json ${expected_json})
  endif()
  message(STATUS "blessed ${name}")
  return()
endif()

if(EXISTS ${expected_error})
  file(READ ${expected_error} wanted)
  if(status EQUAL 0)
    message(FATAL_ERROR "${name}: the session passed, but it should fail with:\n${wanted}")
  endif()
  if(NOT errors STREQUAL wanted)
    message(FATAL_ERROR "${name}: the session failed differently.\nexpected:\n${wanted}\ngot:\n${errors}")
  endif()
  return()
endif()

if(NOT status EQUAL 0)
  message(FATAL_ERROR "${name}: the session failed (status ${status}):\n${errors}")
endif()
foreach(pair "transcript.txt;${expected_transcript}" "drawing.json;${expected_json}")
  list(GET pair 0 actual)
  list(GET pair 1 wanted)
  if(NOT EXISTS ${wanted})
    message(FATAL_ERROR "${name}: no expectation ${wanted} (run with QXT_BLESS=1 to make it)")
  endif()
  execute_process(COMMAND diff -u ${wanted} ${WORK}/${actual} RESULT_VARIABLE differs
                  OUTPUT_VARIABLE diff)
  if(differs)
    message(FATAL_ERROR "${name}: ${actual} differs from ${wanted}:\n${diff}")
  endif()
endforeach()
