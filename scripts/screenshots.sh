#!/usr/bin/env bash
# Writes the editor screenshots in docs/ with a native build: every page
# (MAIN, MOD, SEQ) at 100 % and 200 % in the built-in look and each of our
# themes, as a musician sees them: a factory sound on MAIN, three active
# matrix slots (and a fourth without its target) on MOD, the arpeggio
# pattern playing on SEQ.
#   bash scripts/screenshots.sh [BUILD_DIR]   (default build/native)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/native}"
host="$build/bin/vsthost"
plugin="$build/plugin/Tessaravox.so"
[ -x "$host" ] && [ -f "$plugin" ] || { echo "screenshots: build the native preset first" >&2; exit 1; }

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
data="$home/Morrowfen Software/Tessaravox"
mkdir -p "$data/Themes"
cp -r "$root"/themes/* "$data/Themes/"

# Mod wheel to filter 1's cutoff, LFO 1 to oscillator 1's position, velocity
# to oscillator 2's fine tune (down), Env 3 with no target yet.
mod_slots=(--set Mod1Source=9 --set Mod1Target=19 --set Mod1Amount=0.8
           --set Mod2Source=1 --set Mod2Target=4 --set Mod2Amount=0.65
           --set Mod3Source=4 --set Mod3Target=9 --set Mod3Amount=0.3
           --set Mod4Source=7 --set Mod4Target=0 --set Mod4Amount=0.7)

shoot() {  # look page percent scale
  local look=$1 page=$2 percent=$3 scale=$4
  local args=(--preset "$root/presets/Bass/Acid Line.prs")
  [ "$page" = mod ] && args+=("${mod_slots[@]}")
  [ "$page" = seq ] && args=(--preset "$root/demo/presets/arpeggio.prs")
  XDG_DATA_HOME="$home" "$root/scripts/with_xvfb.sh" "$host" snapshot "$plugin" \
    --out "$root/docs/editor-$look-$page-$percent.png" "${args[@]}" --page "$page" --scale "$scale" --note 60
}

for theme in default Dark HighContrast; do
  look=$(echo "$theme" | tr 'A-Z' 'a-z')
  for scale in 0 4; do
    percent=$([ "$scale" = 0 ] && echo 100 || echo 200)
    if [ "$theme" = default ]; then
      printf 'scale=%s\r\n' "$scale" > "$data/Settings.txt"
    else
      printf 'scale=%s\r\ntheme=%s\r\n' "$scale" "$theme" > "$data/Settings.txt"
    fi
    for page in main mod seq; do shoot "$look" "$page" "$percent" "$scale"; done
  done
done
cp "$root/docs/editor-default-main-100.png" "$root/docs/editor-linux.png"
cp "$root/docs/editor-dark-main-100.png" "$root/docs/editor-dark.png"
