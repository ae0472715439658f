#!/usr/bin/env bash
# The whole test suite: installs what is missing, checks the sources' layout
# and layers, builds and tests twice (plain with gcc and warnings as errors,
# with the packaging checks after it; then with clang under ASan+UBSan, the
# same compile giving the fuzz targets), then runs every fuzz target briefly.
# Each phase's time is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Tests that start a real service fail here rather than skip when it cannot start.
export SYSQUILL_REQUIRE_SERVICES=1
# Every compile goes through ccache (the user's cache unless CCACHE_DIR says
# otherwise), with paths taken relative to the checkout: later runs, other
# clones and the package build (from a copy at a fixed place under build/)
# compile only what changed.
# The cache is named outright: debhelper gives the package build a HOME of
# its own, where ccache would find an empty cache of its own.
export CCACHE_DIR=${CCACHE_DIR:-$(ccache --get-config cache_dir)}
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-5G}
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache

times=()
phase_start=$SECONDS
phase() {   # NAME: ends the running phase, starts the next
  if [ -n "${phase_name:-}" ]; then times+=("$(printf '%5d s  %s' $((SECONDS - phase_start)) "$phase_name")"); fi
  phase_name=$1
  phase_start=$SECONDS
  [ -n "$phase_name" ] && echo "== $phase_name"
  return 0
}

build_and_test() {   # DIR CMAKE-ARGS...
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSYSQUILL_WERROR=ON "$@" >/dev/null
  ninja -C "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

phase "source checks: layout and layer boundaries"
git ls-files -z '*.cpp' '*.h' | xargs -0 -P "$jobs" -n 20 clang-format --dry-run --Werror
scripts/check-layers.sh

phase "plain build and tests"
build_and_test build/plain

phase "packaging: desktop entry, metainfo, install, Debian packages, lintian"
scripts/check-packaging.sh build/plain

# One clang compile under ASan+UBSan: its tests are the sanitizer suite, and
# its fuzz targets link libFuzzer over the same objects.
phase "AddressSanitizer + UndefinedBehaviorSanitizer, with the fuzz targets"
CC=clang CXX=clang++ ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build_and_test build/sanitize -DSYSQUILL_SANITIZE=ON -DSYSQUILL_FUZZ=ON -DSYSQUILL_BENCH=OFF

phase "fuzz targets, ${FUZZ_SECONDS:-12} s each, $jobs at a time"
fuzz_one() {   # TARGET: runs it over its corpus; prints libFuzzer's last words
  local target=$1 name
  name=$(basename "$target")
  local work=build/sanitize/fuzz-corpus/$name seeds=fuzz/corpus/$name
  mkdir -p "$work"
  if "$target" -max_total_time="${FUZZ_SECONDS:-12}" -rss_limit_mb=2048 "$work" \
    $([ -d "$seeds" ] && echo "$seeds") >"$work.log" 2>&1; then
    echo "-- $name: $(tail -n 1 "$work.log")"
  else
    echo "-- $name FAILED:"
    tail -n 40 "$work.log"
    return 1
  fi
}
export -f fuzz_one
targets=(build/sanitize/fuzz/*_fuzz)
[ -x "${targets[0]}" ] || { echo "no fuzz targets were built" >&2; exit 1; }
printf '%s\0' "${targets[@]}" | xargs -0 -n 1 -P "$jobs" bash -c 'fuzz_one "$1"' -

phase ""
echo "== time per phase ($(nproc) cores, load when done: $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%s\n' "${times[@]}"
echo "== all tests passed"
