#!/usr/bin/env bash
# The project's test command: installs what is missing, then builds and runs
# every test in fresh build folders, first plain, then under AddressSanitizer
# with UndefinedBehaviorSanitizer; the tests that run threads run once more
# under ThreadSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

jobs=$(nproc)

run_config() {  # name sanitizer build-type target benchmarks [ctest args...]
  local name=$1 sanitize=$2 build_type=$3 target=$4 benchmarks=$5
  shift 5
  local dir="$root/build/test-$name"
  echo "=== $name: configure and build"
  rm -rf "$dir"
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
    -DVYN_SANITIZE="$sanitize" -DVYN_BUILD_BENCHMARKS="$benchmarks" >/dev/null
  cmake --build "$dir" -j "$jobs" --target "$target"
  echo "=== $name: test"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 "$@")
}

# The plain build also compiles the benchmarks, so they keep building.
run_config plain "" RelWithDebInfo all ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_config asan address Debug all OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  run_config tsan thread Debug threaded_tests OFF -L threaded
