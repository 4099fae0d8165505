#!/bin/sh
# Builds the fuzz targets with clang (build-fuzz) and runs each for a bounded
# time over a working copy of its seed inputs; fails on any finding.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -e
cd "$(dirname "$0")/.."
seconds="${1:-60}"
root="$(pwd)"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVX_FUZZ=ON -DVX_WERROR=ON -DVX_TESTS=OFF -DVX_BENCH=OFF
cmake --build build-fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
# Leaks are not checked: Qt and fontconfig keep caches for the whole run.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=""
for target in fuzz_device_receive fuzz_controller_receive fuzz_settings fuzz_keypad; do
  corpus="$work/corpus/$target"
  mkdir -p "$corpus" "$work/findings/$target"
  cp fuzz/corpus/$target/* "$corpus/"
  echo "== $target: $seconds s"
  if ! (cd "$work/findings/$target" && "$root/build-fuzz/fuzz/$target" -max_total_time="$seconds" \
          -timeout=10 -rss_limit_mb=4096 -detect_leaks=0 -print_final_stats=1 "$corpus"); then
    failed="$failed $target"
    mkdir -p "$root/build-fuzz/findings/$target"
    cp "$work/findings/$target"/* "$root/build-fuzz/findings/$target/" 2>/dev/null || true
  fi
done
if [ -n "$failed" ]; then
  echo "fuzzing found faults in:$failed (inputs in build-fuzz/findings/)"
  exit 1
fi
echo "fuzzing: no findings"
