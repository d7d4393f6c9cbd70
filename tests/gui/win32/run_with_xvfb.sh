#!/bin/sh
# Runs a command with DISPLAY set to an Xvfb of its own: Xvfb picks a free
# display number (-displayfd) and is stopped when the command ends.
set -u
fifo_dir=$(mktemp -d)
trap 'rm -rf "$fifo_dir"' EXIT
Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp 3>"$fifo_dir/display" 2>/dev/null &
xvfb=$!
number=""
for _ in $(seq 1 100); do
  number=$(cat "$fifo_dir/display" 2>/dev/null | head -n 1)
  [ -n "$number" ] && break
  sleep 0.05
done
if [ -z "$number" ]; then
  echo "run_with_xvfb: Xvfb did not start" >&2
  kill "$xvfb" 2>/dev/null
  exit 1
fi
DISPLAY=":$number" "$@"
status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
