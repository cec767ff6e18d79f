#!/bin/sh
# tracelon.exe (QXT_TRACELON_EXE) under Wine, run again when Wine breaks a run off (wine_run.sh).
exec sh "$(dirname "$0")/wine_run.sh" "$QXT_TRACELON_EXE" "$@"
