#!/usr/bin/env bash
# ./run demo: the system at work against the stand-in kit. Runs the 64-bit
# demo clients under Wine and writes what they make into out/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin="$root/build/win64/bin"
mkdir -p "$root/out"
cd "$bin"

echo "== Measuring: two simulated gauges read through MERIDAN.dll"
"$root/cmake/wine-run" ./measuring_demo.exe | tr -d '\r'

echo
echo "== The shipped 32-bit files (build/win32/bin)"
ls -l "$root/build/win32/bin" | awk 'NR > 1 {print "  " $NF "  " $5 " bytes"}'
