#!/usr/bin/env bash
# ./run bench NAME [args]: runs build/win64/bin/NAME_bench.exe under Wine.
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
exec "$root/cmake/wine-run" "./${name}_bench.exe" "$@"
