#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Sourced by build.sh and test.sh; safe to run again.
set -euo pipefail

TVX_PACKAGES=(
  cmake ninja-build g++ make pkg-config
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 xvfb xauth fonts-liberation fonts-dejavu-core fonts-wine
  clang libclang-rt-14-dev
  libcairo2-dev libx11-dev zip unzip
  # XTest drives the pointer and keyboard in the native editor tests only.
  libxtst-dev
)

tvx_missing_packages() {
  local missing=()
  for p in "${TVX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

tvx_setup() {
  local missing
  missing=$(tvx_missing_packages)
  if [ -z "$missing" ]; then
    return 0
  fi
  echo "setup: installing $missing"
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these Debian packages are missing and this is not root: $missing" >&2
    echo "setup: install them with: sudo apt-get install $missing" >&2
    return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Environment for running the 64-bit Windows programs under wine64; the
# prefix lives in the win64 build folder and is created on first use.
tvx_wine_env() {
  local root=$1
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX="$root/build/win64/wineprefix"
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: creating the wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w || true
  fi
  # Keep one wine server and its background services running, started with
  # their output on /dev/null: services started by a test program would
  # otherwise inherit ctest's pipes and hold them open.
  /usr/lib/wine/wineserver -p 120 </dev/null >/dev/null 2>&1 || true
  /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
}

tvx_build_all() {
  local root=$1
  cd "$root"
  for preset in native win64 win32; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
  done
}
