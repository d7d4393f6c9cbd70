#!/usr/bin/env bash
# Writes the editor screenshots in docs/ with the native build: every page
# (MAIN, MOD, SEQ) at 100 % and 200 % in each of our themes, playing a
# factory sound so that the values, arcs and lights show what a musician sees.
#   bash scripts/screenshots.sh [preset file]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
host="$root/build/native/bin/vsthost"
plugin="$root/build/native/plugin/Tessaravox.so"
preset="${1:-$root/presets/Bass/Acid Line.prs}"
[ -x "$host" ] && [ -f "$plugin" ] || { echo "build the native preset first" >&2; exit 1; }

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
data="$home/Morrowfen Software/Tessaravox"
mkdir -p "$data/Themes"
cp -r "$root"/themes/* "$data/Themes/"

for theme in Dark HighContrast; do
  for scale in 0 4; do
    percent=$([ "$scale" = 0 ] && echo 100 || echo 200)
    printf 'scale=%s\r\ntheme=%s\r\n' "$scale" "$theme" > "$data/Settings.txt"
    for page in main mod seq; do
      out="$root/docs/editor-$(echo "$theme" | tr 'A-Z' 'a-z')-$page-$percent.png"
      XDG_DATA_HOME="$home" "$root/scripts/with_xvfb.sh" "$host" snapshot "$plugin" --out "$out" \
        --preset "$preset" --page "$page" --scale "$scale" --note 60
    done
  done
done
