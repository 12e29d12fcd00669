#!/usr/bin/env bash
# Builds Tessly and runs every test:
#   1. the normal build, warnings as errors, and the whole test suite;
#   2. a build with AddressSanitizer (leaks included) and UndefinedBehavior-
#      Sanitizer, and the whole test suite again;
#   3. each fuzz target for TESSLY_FUZZ_SECONDS (default 60; 0 skips them)
#      on a copy of its seed corpus;
#   4. the Windows tessly.exe, cross-compiled with MinGW-w64, and the
#      end-to-end tests that need no terminal run against it under Wine.
# Steps 2 and 3 need clang; without it step 2 uses g++ and step 3 is skipped.
# Step 4 needs x86_64-w64-mingw32-g++-posix and wine, and is skipped without.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
fuzz_seconds=${TESSLY_FUZZ_SECONDS:-60}

echo "== normal build"
cmake -S . -B build -DTESSLY_WERROR=ON -DTESSLY_TESTS_REQUIRED=ON
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --output-on-failure

echo "== sanitizer build"
sanitizer_cxx=g++
command -v clang++ >/dev/null && sanitizer_cxx=clang++
CXX=$sanitizer_cxx cmake -S . -B build-asan -DTESSLY_WERROR=ON -DTESSLY_TESTS_REQUIRED=ON -DTESSLY_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -j "$jobs" --output-on-failure

if [ "$fuzz_seconds" -gt 0 ] && command -v clang++ >/dev/null; then
  echo "== fuzzing, $fuzz_seconds seconds a target"
  CXX=clang++ cmake -S . -B build-fuzz -DTESSLY_WERROR=ON -DTESSLY_FUZZ=ON -DBUILD_TESTING=OFF
  cmake --build build-fuzz -j "$jobs"
  for target in row_codes match_pattern run; do
    corpus=$(mktemp -d)
    log=build-fuzz/fuzz_"$target".log
    cp fuzz/corpus/"$target"/* "$corpus"/
    # A finding makes the target exit non-zero and leaves its input in build-fuzz/.
    status=0
    build-fuzz/fuzz/fuzz_"$target" -max_total_time="$fuzz_seconds" -timeout=30 -print_final_stats=1 \
      -artifact_prefix=build-fuzz/ "$corpus" >"$log" 2>&1 || status=$?
    rm -rf "$corpus"
    grep -E '^stat::number_of_executed_units' "$log" | sed "s/^/fuzz_$target /"
    if [ "$status" -ne 0 ]; then
      tail -n 60 "$log"
      echo "fuzz_$target found a fault (exit $status)"
      exit 1
    fi
  done
fi
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
  echo "== Windows build under Wine"
  cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTESSLY_WERROR=ON
  cmake --build build-win -j "$jobs"
  # A Wine prefix of the build's own and one wine server for all the runs;
  # the first start makes the prefix.
  export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$PWD/build-win/wine}
  wineserver -p 2>/dev/null || true  # or the one already running serves
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wine build-win/tessly.exe -? >/dev/null 2>&1 || true
  build/tests/e2e_tests --tessly="wine $PWD/build-win/tessly.exe" --gtest_filter='-TerminalTest.*' --gtest_brief=1 \
    2>/dev/null
fi
echo "== all tests passed"
