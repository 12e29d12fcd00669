#!/usr/bin/env bash
# Builds Tessly and runs every test, stage by stage, and ends with one line
# "N passed, N failed" over all of them:
#   1. the normal build, warnings as errors, its tests, the example program
#      built against the installed library, the man page, and the two
#      Debian packages that cpack makes, checked by lintian;
#   2. the tests again in a build with AddressSanitizer (leaks included) and
#      UndefinedBehaviorSanitizer;
#   3. the tests of --pack, the views and the threads with ThreadSanitizer;
#   4. each fuzz target for TESSLY_FUZZ_SECONDS (default 60; 0 skips them);
#   5. the Windows tessly.exe, cross-compiled with MinGW-w64, against the
#      end-to-end tests that need no terminal, under Wine.
# It first installs the Debian packages that the stages need. Stages 2 to 4
# need clang (stage 2 uses g++ without it; 3 and 4 are skipped); stage 5
# needs MinGW-w64 and Wine, and is skipped without them.
set -uo pipefail
cd "$(dirname "$0")/.."
# What the stages need, installed where missing (as root or through sudo).
tools/install-packages.sh cmake g++ make pkg-config zlib1g-dev nlohmann-json3-dev libgtest-dev libspng-dev libgif-dev \
  clang libclang-rt-dev groff-base file dpkg-dev lintian g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 || exit 1
jobs=$(nproc 2>/dev/null || echo 2) passed=0 failed=0 skipped=0

# Counts one check: the command given. A build that fails counts as one.
check() { if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)) && echo "FAILED: $*"; fi; }
build() { cmake -S . -B "$1" -DTESSLY_WERROR=ON "${@:2}" >/dev/null && cmake --build "$1" -j "$jobs" || check false; }

# Runs ctest and adds up its counts: failed, skipped, and the rest passed.
run_ctest() {
  local log=$1/ctest.log
  ctest --test-dir "$@" -j "$jobs" --timeout 300 --output-on-failure | tee "$log"
  local counts=$(sed -nE 's/.* ([0-9]+) tests? failed out of ([0-9]+)/\1 \2/p' "$log") skips=$(grep -c '(Skipped)$' "$log")
  [ -n "$counts" ] || counts="1 1"
  passed=$((passed + ${counts#* } - ${counts% *} - skips)) failed=$((failed + ${counts% *})) skipped=$((skipped + skips))
}

echo "== normal build"
build build -DTESSLY_TESTS_REQUIRED=ON && run_ctest build
# A project of its own builds against the installed library, as a user's
# would, through its CMake package and through pkg-config, and lists the
# demo archive.
example() {
  rm -rf build/prefix build/example && cmake --install build --prefix build/prefix >/dev/null &&
    cmake -S examples/list_archive -B build/example -DCMAKE_PREFIX_PATH="$PWD/build/prefix" -DCMAKE_CXX_FLAGS=-Werror >/dev/null &&
    cmake --build build/example >/dev/null && build/example/list_archive demo/demo.gaf | cmp - examples/list_archive/demo.expected &&
    c++ -std=c++20 examples/list_archive/list_archive.cpp -o build/example/list_archive_pc \
      $(PKG_CONFIG_PATH="$PWD/build/prefix/lib/pkgconfig" pkg-config --cflags --libs tessly) &&
    build/example/list_archive_pc demo/demo.gaf | cmp - examples/list_archive/demo.expected
}
check example
# The man page renders without a warning, and doc/tessly.txt is its rendering.
check bash -c '[ -z "$(groff -man -ww -z doc/tessly.1 2>&1)" ] && groff -man -Tascii -P-cbou doc/tessly.1 | cmp - doc/tessly.txt'
# The library's folders depend one way (lib/src/io before format, and so
# on), where the workplace's checker of that stands beside the repository.
[ -f ../shared/tools/layers.py ] && check python3 ../shared/tools/layers.py lib/src >/dev/null
# The packages build, and lintian finds no error in them.
check bash -c 'rm -f build/*.deb && (cd build && cpack >/dev/null) && lintian --fail-on error build/*.deb'

echo "== sanitizer build"
command -v clang++ >/dev/null && export CXX=clang++
build build-asan -DTESSLY_TESTS_REQUIRED=ON -DTESSLY_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug &&
  ASAN_OPTIONS=detect_leaks=1 run_ctest build-asan

# --pack reads ahead on every core: its tests, the views' and those of the
# threads themselves run under ThreadSanitizer, which ends a run that races
# with status 66.
command -v clang++ >/dev/null && echo "== thread sanitizer build" &&
  build build-tsan -DTESSLY_TESTS_REQUIRED=ON -DTESSLY_SANITIZE_THREAD=ON -DCMAKE_BUILD_TYPE=Debug &&
  TSAN_OPTIONS=halt_on_error=1 run_ctest build-tsan -R '^(Pack|Views|Check|Parallel)\.'

if [ "${TESSLY_FUZZ_SECONDS:=60}" -gt 0 ] && command -v clang++ >/dev/null; then
  echo "== fuzzing, $TESSLY_FUZZ_SECONDS seconds a target (quiet)"
  build build-fuzz -DTESSLY_FUZZ=ON -DBUILD_TESTING=OFF
  for target in row_codes archive pack check; do
    # A finding leaves its input in build-fuzz/; keep it in fuzz/crashes/$target/ as a test.
    corpus=$target && [ "$target" = check ] && corpus=archive  # the checker reads archives
    rm -rf build-fuzz/corpus && cp -r fuzz/corpus/"$corpus" build-fuzz/corpus
    check build-fuzz/fuzz/fuzz_"$target" -max_total_time="$TESSLY_FUZZ_SECONDS" -timeout=30 \
      -artifact_prefix=build-fuzz/ build-fuzz/corpus 2>build-fuzz/fuzz_"$target".log
    echo "$target: $(grep '^Done' build-fuzz/fuzz_"$target".log)"
  done
fi

if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
  echo "== Windows build under Wine"
  export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$PWD/build-win/wine}  # made at the first start
  # Wine's server ends with its last program, and a run that connects while
  # it ends fails ("Connection reset by peer"), so one server that stays up
  # serves the whole stage. The first run makes the prefix and starts Wine's
  # own services, which keep the output they start with: /dev/null here, not
  # a test's pipe, which would then stay open for as long as the server.
  # libspng and giflib are compiled from Debian's source packages, fetched once.
  tools/fetch-sources.sh >/dev/null && build build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake &&
    mkdir -p "$WINEPREFIX" &&
    wineserver -p && wine build-win/tessly.exe -? >/dev/null 2>&1
  TESSLY_COMMAND="wine $PWD/build-win/tessly.exe" run_ctest build -R '^(Run|Bitmap|GafMode|Damaged|Png|Json|Pack|Views|Check)\.'
  wineserver -k 2>/dev/null
fi

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
