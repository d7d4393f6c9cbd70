#!/usr/bin/env bash
# Runs a command with its own virtual X display, so that tests which open
# windows work headless: starts Xvfb on a free display number (chosen by the
# server itself), runs the command with DISPLAY set, stops the server.
# Under wine, also makes top-level windows unmanaged (without a window manager
# a managed window takes 2 s to close) and maps the editor's fonts.
set -u
if ! command -v Xvfb >/dev/null; then
  echo "with_xvfb: Xvfb is not installed (Debian package xvfb)" >&2
  exit 1
fi
fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp 3>"$fifo_dir/display" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${wine_prefix_of_display:-}" ] && WINEPREFIX=$wine_prefix_of_display /usr/lib/wine/wineserver -k 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  rm -rf "$fifo_dir"
}
trap cleanup EXIT
read -r -t 10 display_number <"$fifo_dir/display" || { echo "with_xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display_number"

wine_prefix_of_display=""
if [[ ( "${1:-}" == */wine64 || "${1:-}" == */wine_run.sh ) && -n "${WINEPREFIX:-}" ]]; then
  # A prefix of its own: wine sizes its desktop by the display its server
  # started with, and the shared prefix's server may run without one (then
  # every window is clipped to 1024 x 768). Its server ends with the run.
  export WINEPREFIX="${WINEPREFIX%/}-display"
  wine_prefix_of_display=$WINEPREFIX
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
  fi
  if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Trebuchet MS' /d 'Liberation Sans' /f >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Consolas /d 'Liberation Mono' /f >/dev/null 2>&1
  fi
fi
"$@"
status=$?
exit $status
