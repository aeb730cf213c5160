#!/usr/bin/env bash
# Runs a 64-bit test program of the helper against the 32-bit helper (with the
# 32-bit library and kit beside it), as a 64-bit spreadsheet host on a 64-bit
# Windows reaches the shipped files. Usage: with_32bit_helper.sh WIN32_BIN PROGRAM [arguments]
# Exit code 77 (skipped) when the 32-bit helper is not built or 32-bit
# programs cannot run here.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
source "$root/cmake/wine-prefix"
# The prefix is held for the program and the server restart after it.
[ ${#prefix_lock[@]} -gt 0 ] && exec "${prefix_lock[@]}" "$0" "$@"
win32_bin=$(cd "$1" 2>/dev/null && pwd) || win32_bin=$1
shift
if [ ! -f "$win32_bin/MERIDAN_HELPER.exe" ]; then
  echo "SKIPPED: no 32-bit helper in $win32_bin (build the win32 tree: ./run build win32)"
  exit 77
fi
source "$root/cmake/wine-env"
if [ "$wine32_route" = none ]; then
  echo "SKIPPED: the 32-bit helper cannot run: $wine32_reason"
  exit 77
fi
export MERIDAN_HELPER_DIR="Z:${win32_bin//\//\\}"

# Wine (8.0) keeps state in its server session that Windows does not have: once
# 32-bit clients have used the 32-bit helper, a 64-bit client's activation of it
# fails with 0x800706BA (server unavailable) or hangs, and once a 64-bit client
# has used it, a 32-bit client's can hang, until the wineserver starts again. So
# this test runs in a server session of its own: the prefix's server (and Wine's
# services, away from the test's output) starts afresh before and after it.
restart_server() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  wine64 wineboot >/dev/null 2>&1 </dev/null
}
restart_server
"$root/cmake/wine-run" "$@"
status=$?
restart_server
exit $status
