#!/usr/bin/env bash
# The 32-bit DLL computes with SSE2 like the 64-bit one: no x87 arithmetic may
# appear in the functions of the sound engine (voices, effects, sequencer,
# tables, shared DSP blocks and the plug-in's block loop). Loads and stores of
# the x87 stack top (fld/fst/fstp, float or double, and fldz for a returned 0)
# are allowed and counted: the 32-bit calling convention returns every float
# and double through it, also from the C library's maths functions.
# Usage: check_x87.sh <Tessaravox_32.dll>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dll=${1:?usage: check_x87.sh <dll>}
[[ -f "$dll" ]] || { echo "check_x87: $dll not found" >&2; exit 1; }

# Every class and struct the engine folders define, as "Name::" prefixes.
classes=$(grep -ohE '^(class|struct) [A-Z][A-Za-z0-9_]*' \
    "$root"/src/{engine,effects,dsp,sequencer,tables}/*.h | awk '{print $2}' | sort -u | paste -sd'|')
[[ -n "$classes" ]] || { echo "check_x87: no engine classes found" >&2; exit 1; }

i686-w64-mingw32-objdump -d --no-show-raw-insn "$dll" |
  awk '/^[0-9a-f]+ </ { fn = $2; next }
       /:\tf[a-z0-9]+/ { op = $0; sub(/^[^\t]*\t/, "", op); sub(/ .*/, "", op);
                        if (op ~ /^f/ && op != "fwait") print fn "\t" op }' |
  i686-w64-mingw32-c++filt |
  awk -F'\t' -v classes="^<(${classes}|Plugin)::" '
    $1 ~ classes {
      if ($2 ~ /^(fld|flds|fldl|fldz|fst|fsts|fstl|fstp|fstps|fstpl)$/) moves++
      else { arithmetic++; print "x87 arithmetic in " $1 ": " $2 }
    }
    END {
      printf "x87 in engine functions: %d arithmetic, %d float-return moves\n", arithmetic, moves
      exit arithmetic > 0 ? 1 : 0
    }'
