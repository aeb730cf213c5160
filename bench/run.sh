#!/usr/bin/env bash
# ./run bench NAME [args]: runs build/win64/bin/NAME_bench.exe under Wine. For
# spc_page, where R is installed, R's base graphics then draws the same kind
# of page from the same values (bench/spc_page_r.R), timed in the same run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
name=${1:-}
if [ -z "$name" ] || [ ! -f "$root/build/win64/bin/${name}_bench.exe" ]; then
  echo "usage: ./run bench NAME, where NAME is one of:" >&2
  ls "$root/build/win64/bin" | sed -n 's/_bench\.exe$//p' >&2
  exit 2
fi
shift
cd "$root/build/win64/bin"
if [ "$name" != spc_page ] || ! command -v Rscript >/dev/null; then
  exec "$root/cmake/wine-run" "./${name}_bench.exe" "$@"
fi
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
"$root/cmake/wine-run" "./${name}_bench.exe" "$@" | tr -d '\r' | tee "$output/ours.txt"
ours=$(sed -n 's/^x-bar\/R page of 65535 values at 1600 x 1200: \([0-9.]*\) s$/\1/p' "$output/ours.txt")
echo "R's base graphics, the same kind of page from the same values (best of 3)..."
theirs=$(Rscript "$root/bench/spc_page_r.R" 65535 1600 1200 "$output/r_page.bmp")
awk -v ours="$ours" -v theirs="$theirs" 'BEGIN {
  printf "x-bar/R page of 65535 values at 1600 x 1200: MERIDAN %.4f s, R %.4f s: %.0f times faster than R\n",
         ours, theirs, theirs / ours }'
