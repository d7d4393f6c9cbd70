#!/usr/bin/env bash
# Puts the CPU cost of Tessaravox beside that of two peer synths, Debian's
# amsynth and ZynAddSubFX in their default sounds, on the same machine in the
# same run, at 44.1 kHz:
#   idle    no notes for 20 s, Tessaravox with every effect on, blocks of 128;
#   init    8 and 32 notes held for 20 s, Tessaravox's init sound, blocks of 256;
#   fm      32 notes, three FM oscillators (the render benchmark's patch d);
#   worst   32 notes, three 8-copy "Wave" oscillators, two filters, three LFOs
#           and every effect (patch c with the effects on).
# Each peer plays its default sound with the same notes. The cost is the CPU
# time spent inside processReplacing only (vsthost render --cpu-report), as
# the lowest and the median of several runs: a shared machine only ever adds time.
#
#   bash bench/peer_comparison.sh [--plugin PATH] [--runs N]
set -euo pipefail

readonly HOLD_SECONDS=20
readonly RATE=44100
readonly BLOCK=256
readonly IDLE_BLOCK=128
readonly PEER_PACKAGES=(amsynth zynaddsubfx-vst)
readonly HELD_ENVELOPES=(--set Env1Sus=1 --set Env2Sus=1 --set Env3Sus=1
  --set Env1Rel=0.5 --set Env2Rel=0.5 --set Env3Rel=0.5)
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

Renders through Tessaravox and through the VST plug-ins of ${PEER_PACKAGES[*]}
(default sounds): no notes (idle; Tessaravox with every effect on, blocks of $IDLE_BLOCK),
and 8 and 32 notes held for $HOLD_SECONDS s (Tessaravox's init sound; for 32 notes also
three FM oscillators and the worst case). Prints the CPU time each spent in
processReplacing, as a share of one core: the lowest and the median of the runs.

  --plugin PATH   the Tessaravox build to measure (default build/native/plugin/Tessaravox.so)
  --runs N        renders per plug-in and case (default 3)
EOF
}

die() {
  echo "peer_comparison: $*" >&2
  exit 1
}

# Three FM oscillators, as the render benchmark's patch d sets them.
fm_settings() {
  local i
  printf '%s\n' "${HELD_ENVELOPES[@]}"
  for i in 1 2 3; do
    printf -- '--set\n%s\n' "Osc${i}Type=3" "Osc${i}Mod1Amt=0.5" "Osc${i}Mod2Amt=0.3" \
      "Osc${i}Mod1Ratio=0.$i" "Osc${i}Mod2Ratio=0.15" "Osc${i}Vol=0.4"
  done
}

# The render benchmark's patch c, with every effect on.
worst_settings() {
  local i
  printf '%s\n' "${HELD_ENVELOPES[@]}" "${EVERY_EFFECT[@]}"
  for i in 1 2 3; do
    printf -- '--set\n%s\n' "Osc${i}Type=1" "Osc${i}UniCount=1" "Osc${i}UniMix=0.6" "Osc${i}UniDet=0.3" \
      "Osc${i}UniSprd=0.7" "Osc${i}Pos=$(awk -v i="$i" 'BEGIN { print 0.2 + 0.25 * (i - 1) }')" "Osc${i}Vol=0.4" \
      "Lfo${i}Global=0" "Lfo${i}Type=$((i - 1))" "Lfo${i}Rate=$(awk -v i="$i" 'BEGIN { print 0.3 + 0.1 * (i - 1) }')" \
      "Lfo${i}Mod1=0.7" "Lfo${i}Mod2=0.52" "Lfo${i}Mod3=0.6"
  done
  printf -- '--set\n%s\n' Flt1Type=1 Flt2Type=4 FltMode=0 Flt1Cut=0.6 Flt1Res=0.3 Flt2Cut=0.55 Flt2Res=0.2
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

# Prints the lowest and the median of the numbers on standard input.
best_and_median() {
  sort -g | awk '{ v[NR] = $1 } END { printf "%.2f %.2f\n", v[1], (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
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

  local notes
  for notes in 0 8 32; do
    "$make_held_notes" "$notes" "$HOLD_SECONDS" "$work/held-$notes.mid"
  done
  local -a fm worst
  mapfile -t fm < <(fm_settings)
  mapfile -t worst < <(worst_settings)

  # case: notes block Tessaravox-settings-variable
  local cases=("idle 0 $IDLE_BLOCK every" "init 8 $BLOCK none" "init 32 $BLOCK none" "fm 32 $BLOCK fm"
    "worst 32 $BLOCK worst")
  local -A shares
  local run entry case block settings result ms seconds key
  local -a extra
  for ((run = 1; run <= runs; run++)); do
    for entry in "${cases[@]}"; do
      read -r case notes block settings <<<"$entry"
      for name in Tessaravox "${PEER_PACKAGES[@]}"; do
        key=$case/$notes/$name
        extra=()
        if [ "$name" = Tessaravox ]; then
          case $settings in
            every) extra=("${EVERY_EFFECT[@]}") ;;
            fm) extra=("${fm[@]}") ;;
            worst) extra=("${worst[@]}") ;;
          esac
        elif [ "$case" != idle ] && [ "$case" != init ]; then
          continue  # the peers' default sounds are measured once per note count
        fi
        result=$(measure "${paths[$name]}" "$work/held-$notes.mid" "$work" "$block" "${extra[@]}") || exit 1
        read -r ms seconds <<<"$result"
        shares[$key]+="$(awk -v ms="$ms" -v s="$seconds" 'BEGIN { print ms / (s * 10) }') "
      done
    done
  done

  echo "Tessaravox: $plugin"
  for name in "${PEER_PACKAGES[@]}"; do
    echo "$name $(dpkg-query -W -f='${Version}' "$name"): ${paths[$name]} (default sound)"
  done
  echo "$RATE Hz, block $BLOCK (idle: $IDLE_BLOCK), notes held $HOLD_SECONDS s at velocity 100; $runs runs"
  echo
  printf '%-6s %5s %-16s %14s %14s\n' case notes plug-in "best % core" "median % core"
  local peer_case
  for entry in "${cases[@]}"; do
    read -r case notes block settings <<<"$entry"
    for name in Tessaravox "${PEER_PACKAGES[@]}"; do
      peer_case=$case
      if [ "$name" != Tessaravox ]; then
        [ "$case" = idle ] || peer_case=init
      fi
      key=$peer_case/$notes/$name
      read -r best median < <(tr ' ' '\n' <<<"${shares[$key]}" | grep . | best_and_median)
      printf '%-6s %5d %-16s %14.2f %14.2f\n' "$case" "$notes" "$name" "$best" "$median"
    done
  done
}

main "$@"
