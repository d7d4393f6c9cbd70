#!/usr/bin/env bash
# Runs a 64-bit Windows program under wine64: the launcher of the win64
# build's test programs. Now and then wine64 gives up before the program
# starts: it exits at once with a failure and the program has printed nothing.
# Every test program prints before it can fail, so such a start is tried
# again (at most twice more), with a line on stderr; a program that printed
# anything keeps its own exit status.
set -u
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
for attempt in 1 2 3; do
  /usr/lib/wine/wine64 "$@" | tee "$out"
  status=${PIPESTATUS[0]}
  if [ "$status" -eq 0 ] || [ -s "$out" ]; then exit "$status"; fi
  echo "wine_run: wine64 exited with status $status before $1 printed anything (start $attempt of 3)" >&2
done
exit "$status"
