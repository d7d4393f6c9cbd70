#!/usr/bin/env bash
# Every test: check the layering of the includes, set up, build all three
# configurations (warnings are errors), check the exports and
# imports of both DLLs, that the 32-bit DLL's engine has no x87 arithmetic and
# the libraries of the .so, drive the .so in Ardour 7, build and check the
# download packages, run the win64 tests under wine64, the native tests built
# with AddressSanitizer and UndefinedBehaviorSanitizer, the native tests built
# with the scalar forms of the vector code, every fuzz target for a bounded
# time (TVX_FUZZ_SECONDS, default 30), and the native tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"
echo "== the includes follow the layering of the folders"
bash "$root/scripts/check_layers.sh"
tvx_setup
tvx_build_all "$root"
cd "$root"

echo "== DLL exports and imports"
bash scripts/check_dll.sh x86_64 build/win64/plugin/Tessaravox.dll
bash scripts/check_dll.sh i686 build/win32/plugin/Tessaravox_32.dll

echo "== no x87 arithmetic in the 32-bit DLL's engine"
bash scripts/check_x87.sh build/win32/plugin/Tessaravox_32.dll

echo "== Linux plug-in exports and libraries"
bash scripts/check_so.sh build/native/plugin/Tessaravox.so

echo "== a real DAW: Ardour 7 scans, plays, exports and reopens the plug-in"
bash scripts/check_ardour.sh build/native/plugin/Tessaravox.so build/native/bin/vsthost

echo "== packages: layout as INSTALL.txt lists it, the tested plug-ins inside"
bash scripts/package.sh
bash scripts/check_package.sh

echo "== win64 tests under wine64"
tvx_wine_env "$root"
(cd build/win64 && ctest --output-on-failure -j 2 --timeout 300)

echo "== native tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j "$(nproc)"
(cd build/native-asan && ASAN_OPTIONS=halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure -j "$(nproc)" --timeout 600)

echo "== native tests with the scalar forms of the vector code"
cmake --preset native-scalar >/dev/null
cmake --build --preset native-scalar -j "$(nproc)" --target unit_tests host_tests
# The image generator's tests draw nothing through the vector code and are
# not built here.
(cd build/native-scalar && ctest --output-on-failure -j "$(nproc)" --timeout 300 -E '^imagegen')

echo "== fuzz targets"
bash scripts/fuzz.sh --fuzz-seconds "${TVX_FUZZ_SECONDS:-30}"

echo "== native tests"
(cd build/native && ctest --output-on-failure -j "$(nproc)" --timeout 300)
