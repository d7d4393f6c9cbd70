#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`, clang, into build/fuzz) and
# runs each for a bounded time, starting from its committed seed corpus in
# fuzz/corpus/<target>. Any crash, sanitizer report, failed check, time-out
# or memory blow-up fails the run; the input that caused it is left in
# build/fuzz/findings/.
#   bash scripts/fuzz.sh [--fuzz-seconds N] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=30
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --fuzz-seconds) seconds=$2; shift 2 ;;
    --fuzz-seconds=*) seconds=${1#*=}; shift ;;
    -h|--help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(chunk_fuzzer text_files_fuzzer midi_file_fuzzer session_fuzzer)

cd "$root"
echo "== build fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_targets -j "$(nproc)"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
findings="$root/build/fuzz/findings"
mkdir -p "$findings"
status=0
for target in "${targets[@]}"; do
  binary="$root/build/fuzz/fuzz/$target"
  seeds="$root/fuzz/corpus/$target"
  # New inputs go to a scratch corpus, so the committed seeds stay small.
  work="$root/build/fuzz/corpus/$target"
  mkdir -p "$work"
  options=(-max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/$target-")
  [ -f "$root/fuzz/${target%_fuzzer}.dict" ] && options+=(-dict="$root/fuzz/${target%_fuzzer}.dict")
  log="$root/build/fuzz/$target.log"
  echo "== fuzz $target for ${seconds}s"
  if "$binary" "${options[@]}" "$work" "$seeds" >"$log" 2>&1; then
    done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)
    echo "$target: ${done_line:-finished}"
  else
    status=1
    echo "$target: FAILED (log: $log)" >&2
    grep -E 'ERROR|runtime error|SUMMARY|Test unit written|^[^#].*: sample' "$log" | head -20 >&2 || true
  fi
done
exit $status
