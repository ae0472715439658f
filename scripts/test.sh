#!/usr/bin/env bash
# The whole test suite: installs what is missing, then builds and tests
# twice (plain with warnings as errors, and under ASan+UBSan) with the
# packaging checks after the plain run, then runs each fuzz target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Tests that start a real service fail here rather than skip when it cannot start.
export SYSQUILL_REQUIRE_SERVICES=1

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSYSQUILL_WERROR=ON "$@" >/dev/null
  ninja -C "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

echo "== source checks: layout and layer boundaries"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
scripts/check-layers.sh

echo "== plain build and tests"
run_suite build/plain
echo "== packaging: desktop entry, metainfo, install, Debian packages, lintian"
scripts/check-packaging.sh build/plain
echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_suite build/asan -DSYSQUILL_SANITIZE=ON -DSYSQUILL_BENCH=OFF

echo "== fuzz targets"
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSYSQUILL_FUZZ=ON \
  -DSYSQUILL_WERROR=ON -DSYSQUILL_GUI=OFF -DSYSQUILL_TESTS=OFF -DSYSQUILL_BENCH=OFF >/dev/null
ninja -C build/fuzz -j "$jobs"
for target in build/fuzz/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  corpus="fuzz/corpus/$(basename "$target")"
  mkdir -p "build/fuzz/corpus-$(basename "$target")"
  echo "-- $(basename "$target")"
  "$target" -max_total_time="${FUZZ_SECONDS:-20}" -rss_limit_mb=2048 \
    "build/fuzz/corpus-$(basename "$target")" $( [ -d "$corpus" ] && echo "$corpus" ) 2>&1 | tail -n 2
done
echo "== all tests passed"
