#!/usr/bin/env bash
# Runs a 64-bit test program of the helper against the 32-bit helper (with the
# 32-bit library and kit beside it), as a 64-bit spreadsheet host on a 64-bit
# Windows reaches the shipped files. Usage: with_32bit_helper.sh WIN32_BIN PROGRAM [arguments]
# Exit code 77 (skipped) when the 32-bit helper is not built or 32-bit
# programs cannot run here.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
win32_bin=$(cd "$1" 2>/dev/null && pwd) || win32_bin=$1
shift
if [ ! -f "$win32_bin/MERIDAN_HELPER.exe" ]; then
  echo "SKIPPED: no 32-bit helper in $win32_bin (build the win32 tree: ./run build win32)"
  exit 77
fi
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
if ! reason=$("$root/cmake/wine32-support"); then
  echo "SKIPPED: the 32-bit helper cannot run: $reason"
  exit 77
fi
export MERIDAN_HELPER_DIR="Z:${win32_bin//\//\\}"
"$root/cmake/wine-run" "$@"
status=$?
# Wine (8.0) sometimes lets the next activation of the helper hang once a 64-bit
# client has used the 32-bit server it registered, until the wineserver starts
# again; Windows has no such state. So the server (and Wine's services, away
# from this test's output) starts afresh for the tests after this one, none of
# which runs meanwhile (they share one resource lock).
export WINEARCH=win64 WINEDEBUG=-all PATH="/usr/lib/wine:$PATH"
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
wineserver -p >/dev/null 2>&1
wine64 wineboot >/dev/null 2>&1 </dev/null
exit $status
