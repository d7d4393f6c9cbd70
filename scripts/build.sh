#!/usr/bin/env bash
# The main job: set up, build Tessaravox.dll (x86-64), Tessaravox_32.dll (x86)
# and the Linux build, then render the demo song through the built plug-in.
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

echo "== the 64-bit DLL under wine64"
tvx_wine_env "$root"
/usr/lib/wine/wine64 build/win64/bin/vsthost.exe render build/win64/plugin/Tessaravox.dll \
  --midi demo/demo.mid --out out/demo-init-win64.wav

echo
echo "Plug-ins: build/win64/plugin/Tessaravox.dll, build/win32/plugin/Tessaravox_32.dll, build/native/plugin/Tessaravox.so"
echo "Demo renders: $(ls out/*.wav | tr '\n' ' ')"
