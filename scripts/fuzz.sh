#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang in build-fuzz/ and runs
# each for SECONDS (default 60) on a copy of its seed corpus, so the corpus in
# the repository stays as it is. Fails on any crash, sanitizer report, leak,
# timeout (10 s for one input) or out-of-memory (2 GB): the input that did it
# is kept as build-fuzz/findings/<harness>/crash-..., and
#   build-fuzz/fuzz/fuzz_<harness> build-fuzz/findings/<harness>/crash-...
# runs it again.
#
#   scripts/fuzz.sh [SECONDS]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
RUN_SECONDS="${1:-60}"
[[ "$RUN_SECONDS" =~ ^[0-9]+$ && "$RUN_SECONDS" -gt 0 ]] || { echo "usage: $0 [SECONDS]" >&2; exit 2; }

# libFuzzer and the sanitizers come with clang's runtime libraries, packaged
# per clang version.
install_missing clang
install_missing "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"

FUZZ_BUILD="$ROOT/build-fuzz"
cmake -S "$ROOT" -B "$FUZZ_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DSELVANE_FUZZ=ON -DSELVANE_BUILD_TESTS=OFF -DSELVANE_BUILD_BENCH=OFF
cmake --build "$FUZZ_BUILD" -j "$(nproc)" --target selvane_fuzzers

HARNESSES=(engine_stream raw_frame settings_record telemetry_history kiss_stream station_config)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The history harness writes each input to a file: keep that in memory.
[[ -d /dev/shm && -w /dev/shm ]] && export TMPDIR=/dev/shm

failed=()
for name in "${HARNESSES[@]}"; do
    work="$FUZZ_BUILD/run/$name"
    findings="$FUZZ_BUILD/findings/$name"
    log="$FUZZ_BUILD/run/$name.log"
    rm -rf "$work" "$findings"
    mkdir -p "$work" "$findings"
    cp -r "$ROOT/fuzz/corpus/$name/." "$work/"
    echo "fuzz: $name for ${RUN_SECONDS} s"
    status=0
    # -max_total_time ends a healthy run; the outer timeout only catches a
    # fuzzer that hangs outside any single input.
    timeout --signal=KILL "$((RUN_SECONDS + 300))" \
        "$FUZZ_BUILD/fuzz/fuzz_$name" -max_total_time="$RUN_SECONDS" -timeout=10 \
        -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 \
        -dict="$ROOT/fuzz/$name.dict" -artifact_prefix="$findings/" \
        "$work" >"$log" 2>&1 || status=$?
    # A report the runtime only printed (a library not built with the
    # sanitizers, a leak found at exit) counts as much as a crash.
    if ((status != 0)) || grep -qE "ERROR: (Address|Leak|Undefined)Sanitizer|runtime error:|ERROR: libFuzzer" "$log" \
        || compgen -G "$findings/*" >/dev/null; then
        echo "fuzz: $name FAILED (exit status $status), log $log" >&2
        grep -E -A30 "ERROR:|runtime error:|check failed|SUMMARY" "$log" | head -80 >&2 || tail -40 "$log" >&2
        ls -l "$findings" >&2 || true
        failed+=("$name")
    else
        grep -E "^#[0-9]+[[:space:]]+DONE" "$log" || tail -1 "$log"
    fi
done

if ((${#failed[@]})); then
    echo "fuzz: failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzz: all ${#HARNESSES[@]} harnesses ran ${RUN_SECONDS} s each without a finding"
