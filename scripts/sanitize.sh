#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ (tests on, benchmarks off) and runs the whole test suite there.
# Any report fails: the first error of a program ends it, and every report of
# every process (the test programs and what they start: selvane, selvaned,
# the test engine) is written to build-asan/sanitizer-reports/, which must
# stay empty. Built with clang: with gcc, UndefinedBehaviorSanitizer beside
# AddressSanitizer ignores log_path and would report a started program's
# fault only to a standard error that the test may not show.
#
#   scripts/sanitize.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing direwolf clang
# The sanitizers' runtime libraries, packaged per clang version.
install_missing "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"

ASAN_BUILD="$ROOT/build-asan"
REPORTS="$ASAN_BUILD/sanitizer-reports"
SANITIZE="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"

# -O1: the sanitizers' own advice, and a shorter build than -O2.
cmake -S "$ROOT" -B "$ASAN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" \
    -DCMAKE_CXX_FLAGS="$SANITIZE" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DSELVANE_BUILD_TESTS=ON -DSELVANE_BUILD_BENCH=OFF

rm -rf "$REPORTS"
mkdir -p "$REPORTS"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:log_path=$REPORTS/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$REPORTS/ubsan"

# The build runs one program of its own (the icon renderer), under the same
# options.
cmake --build "$ASAN_BUILD" -j "$(nproc)"

# The APRS-IS tests run against aprsc (scripts/aprsc.sh), which is not ours
# and needs no sanitizers: the one test.sh built is used when there is one.
if [[ -x "$BUILD/aprsc/aprsc" && ! -e "$ASAN_BUILD/aprsc/aprsc" ]]; then
    mkdir -p "$ASAN_BUILD/aprsc"
    ln -s "$BUILD/aprsc/aprsc" "$ASAN_BUILD/aprsc/aprsc"
fi
"$ROOT/scripts/aprsc.sh" build "$ASAN_BUILD" >/dev/null ||
    echo "aprsc was not built: the APRS-IS tests fail on CI and are skipped elsewhere" >&2

status=0
ctest --test-dir "$ASAN_BUILD" --output-on-failure -j 2 || status=$?

if compgen -G "$REPORTS/*" >/dev/null; then
    echo "sanitize: sanitizer reports:" >&2
    for report in "$REPORTS"/*; do
        echo "=== $report" >&2
        head -60 "$report" >&2
    done
    status=1
fi
if ((status != 0)); then
    echo "sanitize: FAILED" >&2
    exit "$status"
fi
echo "sanitize: every test passed with no sanitizer report"
