#!/usr/bin/env bash
# Checks one stdcall export of a 32-bit DLL from the file itself:
#   export_check.sh OBJDUMP DLL NAME ORDINAL ARGUMENT_BYTES
# The export must exist under its plain name, carry the ordinal, and return
# with "ret ARGUMENT_BYTES" (the callee removes its arguments).
set -euo pipefail
objdump=$1 dll=$2 name=$3 ordinal=$4 bytes=$5
headers=$("$objdump" -p "$dll")
base=$(sed -n 's/^ImageBase[[:space:]]*//p' <<<"$headers")
index=$(sed -n "/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *\([0-9]*\)\] $name\$/\1/p" <<<"$headers")
if [ -z "$index" ]; then echo "FAIL: $name is not exported by name"; exit 1; fi
row=$(grep -E "^[[:space:]]*\[ *$index\] \+base\[ *[0-9]+\] [0-9a-f]+ Export RVA" <<<"$headers")
found=$(sed -E 's/.*\+base\[ *([0-9]+)\].*/\1/' <<<"$row")
rva=$(sed -E 's/.*\] ([0-9a-f]+) Export RVA.*/\1/' <<<"$row")
if [ "$found" != "$ordinal" ]; then echo "FAIL: $name has ordinal $found, not $ordinal"; exit 1; fi
start=$((0x$base + 0x$rva))
ret=$("$objdump" -d --start-address=$start --stop-address=$((start + 4096)) "$dll" | grep -m1 -E $'\tret' || true)
expected=$(printf 'ret    $0x%x' "$bytes")
if [[ "$ret" != *"$expected" ]]; then echo "FAIL: $name returns with '${ret##*$'\t'}', not '$expected'"; exit 1; fi
echo "ok: $name @$ordinal, $bytes bytes of arguments"
