#!/usr/bin/env bash
# Drives a real DAW, Debian's Ardour 7, headless on its "None (Dummy)" audio
# backend: its plug-in scanner must accept the .so as an instrument without a
# warning; a session made with its Lua session tool holds a MIDI track with
# the plug-in playing demo/audition.mid, a factory preset handed over as the
# plug-in's state; its exporter must render the session sample for sample
# like vsthost renders the same MIDI file with the same preset; and the
# session, saved and reopened in a fresh process, must give back the same
# state chunk byte for byte and the same sound.
#
#   scripts/check_ardour.sh [PLUGIN.so] [VSTHOST]
#
# Installs Debian's ardour package when it is missing (as root). Everything
# Ardour and the plug-in write goes to a temporary home of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
plugin=$(realpath -m "${1:-$root/build/native/plugin/Tessaravox.so}")
vsthost=$(realpath -m "${2:-$root/build/native/bin/vsthost}")
midi=$root/demo/audition.mid
# A preset that sounds the same however a host runs it: sounds with a
# chorus or a free-running LFO differ, by rounding, between block sizes, and
# may depend on how long the host ran the plug-in before the first note.
preset="$root/presets/Bass/Acid Line.prs"
rate=48000
step_seconds=120

fail() { echo "check_ardour: $*" >&2; exit 1; }
[ -f "$plugin" ] || fail "no plug-in at $plugin (build the native preset first)"
[ -x "$vsthost" ] || fail "no vsthost at $vsthost (build the native preset first)"

if ! command -v ardour7-lua >/dev/null || ! command -v ardour7-export >/dev/null; then
  [ "$(id -u)" -eq 0 ] || fail "Ardour 7 is missing; install it with: sudo apt-get install ardour"
  echo "check_ardour: installing Debian's ardour package"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends ardour >/dev/null
fi
scanner=/usr/lib/ardour7/ardour-vst-scanner
[ -x "$scanner" ] || fail "Ardour's plug-in scanner $scanner is missing"

work=$(mktemp -d "${TMPDIR:-/tmp}/check_ardour.XXXXXX")
# Kept when a step fails, for a look at Ardour's logs, session and export.
trap 'status=$?; if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "check_ardour: its files are in $work" >&2; fi' EXIT
# A home of its own: Ardour's configuration, scan log and plug-in cache and
# the plug-in's settings land here, and nothing on the machine is read.
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
unset XDG_CONFIG_DIRS XDG_DATA_DIRS VST_PATH LXVST_PATH DISPLAY
# Ardour 7.3's AVX-512 buffer-mixing routine writes past the end of an
# export buffer on processors that have AVX-512 (fixed in Ardour 8.5) and
# aborts the exporter in about one run in four. These flags leave AVX-512
# out of the processor features Ardour uses, so it mixes with its AVX
# routines instead.
export ARDOUR_FPU_FLAGS=95
mkdir -p "$XDG_CONFIG_HOME/ardour7" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$work/vst"
# The dummy backend is hidden unless the configuration shows it; the plug-in
# is looked for in our folder only.
cat >"$XDG_CONFIG_HOME/ardour7/config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="plugin-path-lxvst" value="$work/vst"/>
    <Option name="plugin-path-vst" value=""/>
    <Option name="plugin-path-vst3" value=""/>
  </Config>
</Ardour>
XML
# A fresh copy in a fresh folder, scanned below: Ardour drops a plug-in
# file copied over one it scanned before as stale until it is scanned again.
cp "$plugin" "$work/vst/Tessaravox.so"

# Runs one step with a time limit; on failure shows what it printed.
run() {
  local name=$1
  shift
  local status=0
  timeout --kill-after=10 "$step_seconds" "$@" >"$work/$name.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$work/$name.log" >&2
    [ "$status" -eq 124 ] && fail "$name did not finish within $step_seconds s"
    fail "$name failed (exit status $status)"
  fi
}

# Ardour 7.3's exporter now and then hangs as it starts (also for a session
# without tracks) or, more often on a busy machine, starts its export 16
# samples late, so the notes come early. An export is tried up to five
# times, each with a time limit of its own (one takes about 5 s on an idle
# machine); the check passes only when one equals vsthost's rendering sample
# for sample, so a plug-in that renders wrongly fails every try.
export_and_compare() {
  local name=$1 attempt status
  for attempt in 1 2 3 4 5; do
    rm -f "$work/$name.wav"
    status=0
    timeout --kill-after=10 45 ardour7-export --bitdepth float --output "$work/$name.wav" "$session" check \
      >"$work/$name-$attempt.log" 2>&1 || status=$?
    if [ "$status" -eq 0 ]; then
      if timeout 60 ardour7-lua "$root/scripts/ardour/compare_wavs.lua" "$work/reference.wav" "$work/$name.wav" \
        >"$work/compare-$name-$attempt.log" 2>&1; then
        tail -n 1 "$work/compare-$name-$attempt.log" | sed 's/^compare_wavs: //'
        return 0
      fi
      echo "check_ardour: $name, try $attempt: $(tail -n 1 "$work/compare-$name-$attempt.log")" >&2
    elif [ "$status" -eq 124 ]; then
      echo "check_ardour: $name, try $attempt: ardour7-export did not finish within 45 s" >&2
    else
      echo "check_ardour: $name, try $attempt: ardour7-export failed (exit status $status)" >&2
      tail -n 5 "$work/$name-$attempt.log" >&2
    fi
  done
  fail "no export of the session equals vsthost's rendering"
}

echo "check_ardour: $(ardour7-lua --version 2>&1 | head -n 1)"

# The session tool lists only plug-ins the scanner has scanned; its first
# run enters the new file in the scan log, then the scanner indexes it.
# The plug-in list needs a running engine and a session.
cat >"$work/list.lua" <<'LUA'
AudioEngine:set_backend("None (Dummy)", "", "")
local dir = arg[1]
if not create_session(dir, "listing", 48000) then print("cannot create a session in " .. dir) os.exit(1) end
for p in ARDOUR.LuaAPI.list_plugins():iter() do
  if p.type == ARDOUR.PluginType.LXVST then print("listed: " .. p.name .. " | " .. p.category .. " | " .. p.path) end
end
close_session()
LUA
run first-listing ardour7-lua "$work/list.lua" "$work/listing1"
grep -q "Tessaravox.so" "$XDG_CONFIG_HOME/ardour7/plugin_metadata/scan_log" ||
  fail "Ardour's first run did not enter Tessaravox.so in its scan log"
run scan env LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" --force "$work/vst/Tessaravox.so"
if grep -Eiv '^\[Info\]' "$work/scan.log" | grep -q .; then
  cat "$work/scan.log" >&2
  fail "Ardour's scanner printed more than information about Tessaravox.so"
fi
grep -q "Found Plugin: .* Tessaravox" "$work/scan.log" || { cat "$work/scan.log" >&2; fail "the scanner found no plug-in"; }
grep -qs 'is_instrument="1"' "$XDG_CACHE_HOME"/ardour7/vst/*.v2i || fail "the scanner did not index Tessaravox as an instrument"
run listing ardour7-lua "$work/list.lua" "$work/listing2"
grep -q "^listed: Tessaravox | Instrument | $work/vst/Tessaravox.so" "$work/listing.log" ||
  { cat "$work/listing.log" >&2; fail "Ardour does not list Tessaravox as an instrument"; }
echo "check_ardour: the scanner accepts Tessaravox.so as an instrument ($SECONDS s)"

# vsthost's rendering is the reference; the session is as long as it.
run reference "$vsthost" render "$plugin" --midi "$midi" --preset "$preset" --rate "$rate" \
  --out "$work/reference.wav" --save-chunk "$work/reference.chunk"
frames=$(sed -n 's/^wrote .*: \([0-9]*\) frames.*/\1/p' "$work/reference.log")
[ -n "$frames" ] || { cat "$work/reference.log" >&2; fail "vsthost did not say how long its rendering is"; }

session=$work/check
run make-session ardour7-lua "$root/scripts/ardour/make_session.lua" "$session" check "$rate" "$midi" "$preset" "$frames"
# Opened and saved: Ardour now holds the state the plug-in reports.
run first-save ardour7-lua "$root/scripts/ardour/open_session.lua" "$session" check "$work/first.chunk"
cmp -s "$work/reference.chunk" "$work/first.chunk" ||
  fail "the chunk Ardour saved differs from the one vsthost saved after loading the same preset"
result=$(export_and_compare export)
echo "check_ardour: ardour7-export and vsthost: $result ($SECONDS s)"

# Reopened in a fresh process and saved again: the same chunk, the same sound.
run second-save ardour7-lua "$root/scripts/ardour/open_session.lua" "$session" check "$work/second.chunk"
cmp -s "$work/first.chunk" "$work/second.chunk" ||
  fail "the chunk changed when the session was reopened and saved"
export_and_compare reexport >/dev/null
echo "check_ardour: reopened, the session gives back the same chunk ($(wc -c <"$work/second.chunk") bytes) and the same sound ($SECONDS s)"
