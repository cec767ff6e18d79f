# Plays one golden session with tracelon.exe and QXT.DLL under Wine and compares it with the
# same expectations as on this machine.
#   -DREADY=wine ready mark -DTRACELON=tracelon_wine.sh -DPLUGIN=QXT.DLL -DSESSION=... -DWORK=...
#   (-DNOT_READY=what to say when the ready mark is missing)
if(NOT EXISTS ${READY})
  if(NOT NOT_READY)
    set(NOT_READY "Wine cannot start on this machine (see the test windows_wine_start): skipped")
  endif()
  message("${NOT_READY}")
  return()
endif()
# Expectations are made on this machine only; a Windows run never rewrites them.
set(ENV{QXT_BLESS} "")
include(${CMAKE_CURRENT_LIST_DIR}/../sessions/golden.cmake)
