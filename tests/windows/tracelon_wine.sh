#!/bin/sh
# tracelon.exe under Wine, in the prefix that wine_start.sh made.
wine=$(command -v wine || command -v wine64)
exec "$wine" "$QXT_TRACELON_EXE" "$@"
