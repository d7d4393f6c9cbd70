#!/usr/bin/env bash
# Checks that a plug-in DLL exports VSTPluginMain and main undecorated and
# imports nothing but Windows system DLLs.
set -euo pipefail
arch=$1
dll=$2
dump=$("$arch-w64-mingw32-objdump" -p "$dll")
fail=0
for name in VSTPluginMain main; do
  if ! grep -qE "^\s+\[\s*[0-9]+\] $name\$" <<<"$dump"; then
    echo "FAIL: $dll does not export $name" >&2
    fail=1
  fi
done
system_dlls='^(kernel32|user32|gdi32|gdiplus|shell32|shlwapi|comdlg32|ole32|oleaut32|advapi32|msvcrt|ucrtbase|comctl32|msimg32|ws2_32|uuid|winmm|imm32|version|api-ms-win-.*)\.dll$'
while read -r lib; do
  if ! grep -qiE "$system_dlls" <<<"$lib"; then
    echo "FAIL: $dll imports $lib, which is not a Windows system DLL" >&2
    fail=1
  fi
done < <(grep 'DLL Name:' <<<"$dump" | awk '{print $3}')
if [ "$fail" -ne 0 ]; then exit 1; fi
echo "ok: $dll exports VSTPluginMain and main; imports $(grep 'DLL Name:' <<<"$dump" | awk '{print $3}' | tr '\n' ' ')"
