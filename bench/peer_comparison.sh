#!/usr/bin/env bash
# Puts the CPU cost of Tessaravox's init sound beside that of two peer synths,
# Debian's amsynth and ZynAddSubFX in their default sounds, on the same machine
# in the same run: 8 and 32 notes held for 20 s at 44.1 kHz in blocks of 256,
# and idle (no notes, Tessaravox with every effect on) in blocks of 128. The cost is the
# CPU time spent inside processReplacing only (vsthost render --cpu-report),
# the lowest of several runs because a shared machine only ever adds time.
#
#   bash bench/peer_comparison.sh [--plugin PATH] [--runs N]
set -euo pipefail

readonly NOTE_COUNTS=(0 8 32)  # the usage text names them; 0 is the idle case
readonly HOLD_SECONDS=20
readonly RATE=44100
readonly BLOCK=256
readonly IDLE_BLOCK=128
readonly PEER_PACKAGES=(amsynth zynaddsubfx-vst)
# Every effect on for the idle case: what an instance costs before a note.
readonly EVERY_EFFECT=(--set DriveAmount=0.5 --set EQ1Gain=0.7 --set EQ2Gain=0.3
  --set ChorusMix=0.5 --set DelayMix=0.5 --set ReverbMix=0.5)
export LC_ALL=C

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
vsthost=$root/build/native/bin/vsthost
make_held_notes=$root/build/native/bin/make_held_notes
plugin=$root/build/native/plugin/Tessaravox.so
runs=3
work=

usage() {
  cat <<EOF
usage: bash bench/peer_comparison.sh [--plugin PATH] [--runs N]

Renders no notes (idle; Tessaravox with every effect on, blocks of $IDLE_BLOCK) and 8 and 32
notes held for $HOLD_SECONDS s through Tessaravox (init sound) and through the VST plug-ins of
${PEER_PACKAGES[*]} (default sounds) and prints the CPU time each spent in
processReplacing, as a share of one core.

  --plugin PATH   the Tessaravox build to measure (default build/native/plugin/Tessaravox.so)
  --runs N        renders per plug-in and note count; the lowest is shown (default 3)
EOF
}

die() {
  echo "peer_comparison: $*" >&2
  exit 1
}

parse_options() {
  while [ $# -gt 0 ]; do
    case $1 in
      --plugin)
        [ $# -ge 2 ] && [ -n "$2" ] || die "--plugin needs a path"
        plugin=$2
        shift 2
        ;;
      --runs)
        [ $# -ge 2 ] || die "--runs needs a number"
        [[ $2 =~ ^[0-9]+$ ]] && [ "$2" -ge 1 ] && [ "$2" -le 100 ] || die "--runs must be a whole number from 1 to 100, not '$2'"
        runs=$2
        shift 2
        ;;
      -h | --help)
        usage
        exit 0
        ;;
      *) die "unknown option '$1' (try --help)" ;;
    esac
  done
}

check_build() {
  local tool
  for tool in "$vsthost" "$make_held_notes"; do
    [ -x "$tool" ] || die "the native build is missing ($tool); run: cmake --preset native && cmake --build build/native"
  done
  if [ ! -f "$plugin" ]; then
    [ "$plugin" = "$root/build/native/plugin/Tessaravox.so" ] &&
      die "the native build is missing ($plugin); run: cmake --preset native && cmake --build build/native"
    die "no plug-in at '$plugin'"
  fi
  plugin=$(cd "$(dirname "$plugin")" && pwd)/$(basename "$plugin")
}

peer_plugin_path() {
  dpkg-query -L "$1" 2>/dev/null | grep -E '/vst/[^/]*\.so$' | head -n 1 || true
}

install_peer() {
  local PEER_PACKAGE=$2 log=$1/apt.log
  [ "$(id -u)" -eq 0 ] || die "$PEER_PACKAGE is not installed and this is not root; install it with: sudo apt-get install $PEER_PACKAGE"
  echo "installing $PEER_PACKAGE with apt-get ..." >&2
  export DEBIAN_FRONTEND=noninteractive
  if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "$PEER_PACKAGE"; } >"$log" 2>&1; then
    tail -n 5 "$log" >&2
    die "$PEER_PACKAGE could not be installed with apt-get (see the lines above)"
  fi
}

find_peer_plugin() {
  local work=$1 PEER_PACKAGE=$2 path
  path=$(peer_plugin_path "$PEER_PACKAGE")
  if [ -z "$path" ]; then
    install_peer "$work" "$PEER_PACKAGE"
    path=$(peer_plugin_path "$PEER_PACKAGE")
  fi
  [ -n "$path" ] && [ -f "$path" ] || die "the $PEER_PACKAGE package has no VST plug-in (.so under a vst folder in dpkg -L $PEER_PACKAGE)"
  echo "$path"
}

# Prints "CPU_MS AUDIO_SECONDS" for one render.
measure() {
  local plugin_path=$1 midi=$2 work=$3 block=$4 log
  shift 4
  log=$work/render.log
  if ! "$vsthost" render "$plugin_path" --midi "$midi" --out "$work/out.wav" \
      --rate "$RATE" --block "$block" --cpu-report "$@" >"$log" 2>&1; then
    cat "$log" >&2
    die "rendering $midi through $plugin_path failed"
  fi
  awk '/^cpu: / { print $2, $5; found = 1 } END { exit !found }' "$log" ||
    die "vsthost printed no cpu: line for $plugin_path"
}

main() {
  parse_options "$@"
  check_build
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  local -A paths=([Tessaravox]=$plugin)
  local name
  for name in "${PEER_PACKAGES[@]}"; do
    paths[$name]=$(find_peer_plugin "$work" "$name") || exit 1
  done
  local names=(Tessaravox "${PEER_PACKAGES[@]}")

  local notes
  for notes in "${NOTE_COUNTS[@]}"; do
    "$make_held_notes" "$notes" "$HOLD_SECONDS" "$work/held-$notes.mid"
  done

  declare -A best_ms audio_s
  local run result ms seconds key block extra
  for ((run = 1; run <= runs; run++)); do
    for notes in "${NOTE_COUNTS[@]}"; do
      for name in "${names[@]}"; do
        block=$BLOCK
        extra=()
        if [ "$notes" -eq 0 ]; then
          block=$IDLE_BLOCK
          [ "$name" = Tessaravox ] && extra=("${EVERY_EFFECT[@]}")
        fi
        result=$(measure "${paths[$name]}" "$work/held-$notes.mid" "$work" "$block" "${extra[@]}") || exit 1
        read -r ms seconds <<<"$result"
        key=$name/$notes
        if [ -z "${best_ms[$key]:-}" ] || awk -v a="$ms" -v b="${best_ms[$key]}" 'BEGIN { exit !(a < b) }'; then
          best_ms[$key]=$ms
        fi
        audio_s[$key]=$seconds
      done
    done
  done

  echo "Tessaravox: $plugin (init sound)"
  for name in "${PEER_PACKAGES[@]}"; do
    echo "$name $(dpkg-query -W -f='${Version}' "$name"): ${paths[$name]} (default sound)"
  done
  echo "$RATE Hz, block $BLOCK (idle: $IDLE_BLOCK), notes held $HOLD_SECONDS s at velocity 100; lowest of $runs runs"
  echo
  printf '%-16s %5s %12s %9s %11s\n' plug-in notes "CPU ms" "audio s" "% of core"
  for notes in "${NOTE_COUNTS[@]}"; do
    for name in "${names[@]}"; do
      key=$name/$notes
      awk -v name="$name" -v notes="$notes" -v ms="${best_ms[$key]}" -v s="${audio_s[$key]}" \
        'BEGIN { printf "%-16s %5d %12.1f %9.1f %11.2f\n", name, notes, ms, s, ms / (s * 10) }'
    done
  done
}

main "$@"
