#!/usr/bin/env bash
# The main job: set up, build Tessaravox.dll (x86-64), Tessaravox_32.dll (x86)
# and the Linux build, render the demo song and an audition of every factory
# bank through the built plug-in, and write the download packages to dist/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"
tvx_setup
tvx_build_all "$root"

cd "$root"
mkdir -p out
host=build/native/bin/vsthost
plugin=build/native/plugin/Tessaravox.so
./build/native/bin/make_demo_midi build/native/demo.mid
cmp -s build/native/demo.mid demo/demo.mid || echo "note: demo/demo.mid differs from what tools/demo writes"

render() {
  local name=$1
  shift
  "$host" render "$plugin" --midi demo/demo.mid --out "out/demo-$name.wav" "$@"
}
render init
for preset in demo/presets/*.prs; do
  [ -e "$preset" ] || continue
  render "$(basename "$preset" .prs)" --preset "$preset"
done
# Sounds given as --set lists of parameter keys.
for sound in demo/sounds/*.args; do
  [ -e "$sound" ] || continue
  # shellcheck disable=SC2046
  render "$(basename "$sound" .args)" $(grep -v '^#' "$sound")
done

# A short audition of every factory bank: its first presets in name order
# play demo/audition.mid one after the other, into out/bank-<bank>.wav.
echo "== bank auditions"
mkdir -p build/native/audition
for bank in presets/*/; do
  [ -d "$bank" ] || continue
  slug=$(basename "$bank" | tr 'A-Z' 'a-z' | sed 's/[^a-z0-9]\+/-/g; s/^-//; s/-$//')
  renders=()
  for preset in "$bank"*.prs; do
    [ -e "$preset" ] && [ ${#renders[@]} -lt 4 ] || break
    wav="build/native/audition/$slug-${#renders[@]}.wav"
    "$host" render "$plugin" --midi demo/audition.mid --out "$wav" --preset "$preset" --tail 1.5 >/dev/null
    renders+=("$wav")
  done
  if [ ${#renders[@]} -gt 0 ]; then
    ./build/native/bin/join_wavs "out/bank-$slug.wav" "${renders[@]}"
  fi
done

echo "== packages"
bash scripts/package.sh

echo "== the 64-bit DLL under wine64"
tvx_wine_env "$root"
/usr/lib/wine/wine64 build/win64/bin/vsthost.exe render build/win64/plugin/Tessaravox.dll \
  --midi demo/demo.mid --out out/demo-init-win64.wav

echo
echo "Plug-ins: build/win64/plugin/Tessaravox.dll, build/win32/plugin/Tessaravox_32.dll, build/native/plugin/Tessaravox.so"
echo "Demo renders: $(ls out/*.wav | tr '\n' ' ')"
echo "Packages: $(ls dist/* | tr '\n' ' ')"
