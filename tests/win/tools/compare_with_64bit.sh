#!/usr/bin/env bash
# Runs one tool of the 32-bit tree and the same tool of the 64-bit tree and
# compares what they print, line for line: the 32-bit library must give what
# the 64-bit one gives. Usage: compare_with_64bit.sh WIN32_BIN WIN64_BIN TOOL [pages]
# With "pages" the tool gets a fresh folder of its own as first argument.
# Exit code 77 (skipped) when the 64-bit tool is not built or 32-bit programs
# cannot run here.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
win32_bin=$1 win64_bin=$2 tool=$3 pages=${4:-}
if [ ! -f "$win64_bin/$tool.exe" ]; then
  echo "SKIPPED: no 64-bit $tool.exe to compare with (build the win64 tree: ./run build win64)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_one() {  # bin name
  local args=()
  if [ -n "$pages" ]; then
    mkdir -p "$work/$2"
    args=("Z:${work//\//\\}\\$2")
  fi
  (cd "$1" && "$root/cmake/wine-run" "./$tool.exe" "${args[@]}") | tr -d '\r' > "$work/$2.txt"
  return "${PIPESTATUS[0]}"
}

compare() {
  run_one "$win32_bin" win32
  local status=$?
  [ $status -eq 77 ] && { cat "$work/win32.txt"; exit 77; }
  [ $status -eq 0 ] || { echo "the 32-bit $tool ended with $status"; return 1; }
  run_one "$win64_bin" win64 || { echo "the 64-bit $tool ended with $?"; return 1; }
  [ -s "$work/win64.txt" ] || { echo "the 64-bit $tool printed nothing"; return 1; }
  diff "$work/win64.txt" "$work/win32.txt" > "$work/diff.txt"
}

# A Wine program's output read right after it ended has very rarely been seen
# to differ from a rerun; a difference counts only when it comes again.
if ! compare; then
  echo "difference on the first run, running both again:"
  head -20 "$work/diff.txt" 2>/dev/null
  if ! compare; then
    echo "the 32-bit and the 64-bit $tool differ (64-bit <, 32-bit >):"
    head -40 "$work/diff.txt"
    exit 1
  fi
  echo "the second run agrees"
fi
echo "$(wc -l < "$work/win64.txt") lines equal"
