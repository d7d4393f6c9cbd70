#!/usr/bin/env bash
# Checks that the Linux plug-in exports VSTPluginMain (the entry point Linux
# hosts look up) and nothing else (a host process holds many plug-ins, and
# exported names can bind one plug-in to another's code), and needs only
# libraries every Linux desktop has: X11, cairo and the C and C++ runtimes;
# and that the dynamic loader finds all of them here.
set -euo pipefail
so=$1
fail=0
dump=$(objdump -p "$so")
allowed='^(libX11\.so\.6|libcairo\.so\.2|libstdc\+\+\.so\.6|libm\.so\.6|libgcc_s\.so\.1|libc\.so\.6|libdl\.so\.2|libpthread\.so\.0|ld-linux-x86-64\.so\.2)$'
needed=$(awk '$1 == "NEEDED" {print $2}' <<<"$dump")
while read -r lib; do
  [ -z "$lib" ] && continue
  if ! grep -qE "$allowed" <<<"$lib"; then
    echo "FAIL: $so needs $lib, which is not X11, cairo or a C/C++ runtime" >&2
    fail=1
  fi
done <<<"$needed"
symbols=$(objdump -T "$so")
for name in VSTPluginMain; do
  if ! grep -qE "\.text\s.*\s$name\$" <<<"$symbols"; then
    echo "FAIL: $so does not export $name" >&2
    fail=1
  fi
done
# Every defined dynamic symbol but the entry points is one too many.
extra=$(nm -D --defined-only "$so" | awk '{print $NF}' | grep -vxE 'VSTPluginMain|main' || true)
if [ -n "$extra" ]; then
  echo "FAIL: $so exports $(wc -l <<<"$extra") symbol(s) besides its entry point, for example:" >&2
  head -5 <<<"$extra" >&2
  fail=1
fi
if ldd "$so" | grep -q "not found"; then
  echo "FAIL: the loader cannot resolve every library of $so:" >&2
  ldd "$so" | grep "not found" >&2
  fail=1
fi
if [ "$fail" -ne 0 ]; then exit 1; fi
echo "ok: $so exports VSTPluginMain and nothing else; needs $(tr '\n' ' ' <<<"$needed")"
