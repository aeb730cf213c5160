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

# -- Readout window ---------------------------------------------------------
echo
echo "== Readout window: six simulated gauges shown live, then a picture of the window"
"$root/cmake/wine-run" ./readout_demo.exe ../../../out/readout.bmp 3 | tr -d '\r'
convert "$root/out/readout.bmp" -strip "$root/out/readout.png"
echo "picture: out/readout.png"
# ---------------------------------------------------------------------------

echo
echo "== The shipped 32-bit files (build/win32/bin)"
ls -l "$root/build/win32/bin" | awk 'NR > 1 {print "  " $NF "  " $5 " bytes"}'

echo
echo "== SPC pages: Create_SPCBitmap over simulated gauge readings (out/spc_*.bmp)"
# Run beside the library, where it finds TESSAN_SPC.TAB; the pages go to out/.
"$root/cmake/wine-run" ./spc_demo.exe ../../../out | tr -d '\r'
convert "$root/out/spc_means_stddev.bmp" "$root/out/spc_means_stddev.png"
echo "  out/spc_means_stddev.png (the means chart, converted for viewing)"
convert "$root/out/spc_run_tests.bmp" -strip "$root/out/spc_run_tests.png"
echo "  out/spc_run_tests.png (run tests marked, limits from earlier readings)"

echo
echo "== Gauge studies: Create_GaugeStudyBitmap over simulated readings (out/gauge_*.bmp)"
"$root/cmake/wine-run" ./gauge_demo.exe ../../../out | tr -d '\r'
convert "$root/out/gauge_type1.bmp" -strip "$root/out/gauge_type1.png"
convert "$root/out/gauge_rr.bmp" -strip "$root/out/gauge_rr.png"
echo "  out/gauge_type1.png (type 1: one reference part read 50 times)"
echo "  out/gauge_rr.png (crossed gauge R&R: 10 parts, 3 appraisers, 3 trials, one misreading left in)"

echo
echo "== Further control charts: Create_ChartBitmap, one page of each kind from simulated data (out/chart_*.bmp)"
"$root/cmake/wine-run" ./chart_demo.exe ../../../out | tr -d '\r'
for page in individuals ewma cusum p; do
  convert "$root/out/chart_$page.bmp" -strip "$root/out/chart_$page.png"
done
echo "  out/chart_individuals.png, chart_ewma.png, chart_cusum.png, chart_p.png (converted for viewing)"

echo
echo "== Capability pages: Create_CapabilityBitmap (out/capability_*.bmp)"
"$root/cmake/wine-run" ./capability_demo.exe ../../../out | tr -d '\r'
for page in capability_normal capability_runout_weibull; do
  convert "$root/out/$page.bmp" -strip "$root/out/$page.png"
  echo "  out/$page.png"
done
