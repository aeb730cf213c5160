#!/usr/bin/env bash
# Runs one fuzz target for a while and prints what it did:
#   fuzz_target.sh BINARY SECONDS FUZZ_DIR WORK_DIR
# BINARY is build/fuzz/.../<name>_fuzz; its seeds are FUZZ_DIR/corpus/<name>
# (read, never written) and its dictionary FUZZ_DIR/<name>.dict if present.
# New inputs go to WORK_DIR/<name>/corpus, findings to WORK_DIR/<name>/findings,
# the fuzzer's log to WORK_DIR/<name>/log. Exits non-zero on a finding.
set -uo pipefail
binary=$1 seconds=$2 fuzz_dir=$3 work_dir=$4
name=$(basename "$binary"); name=${name%_fuzz}
work="$work_dir/$name"
mkdir -p "$work/corpus" "$work/findings"
rm -f "$work/findings/"*  # only what this run finds
args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
      -artifact_prefix="$work/findings/")
[ -f "$fuzz_dir/$name.dict" ] && args+=(-dict="$fuzz_dir/$name.dict")
"$binary" "${args[@]}" "$work/corpus" "$fuzz_dir/corpus/$name" >"$work/log" 2>&1
status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$work/log" | tail -1)
coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$work/log" | tail -1)
inputs=$(find "$work/corpus" "$fuzz_dir/corpus/$name" -type f | wc -l)
findings=$(find "$work/findings" -type f | wc -l)
echo "$name: ${executions:-?} executions in ${took:-?} s, ${coverage:-no coverage line}, $inputs inputs, $findings findings"
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
  grep -E -A1 'ERROR|runtime error|property failed' "$work/log" | head -20
  find "$work/findings" -type f | sed 's/^/  finding: /'
  echo "  log: $work/log"
  exit 1
fi
