#!/bin/bash
# Builds the libFuzzer targets with clang and runs each for SECONDS, then
# prints executions, speed and coverage per target.
#
#   fuzz/run.sh SECONDS [target ...]
#
# Seeds: fuzz/corpus* and fuzz/regressions/<kind>; what a run learns stays in
# build-fuzz/fuzz-work/<target> for the next run. A crash, hang or sanitizer
# report is written to build-fuzz/fuzz-artifacts/<target>/ and the script
# ends with status 1: fix it, and add the input to fuzz/regressions/<kind>.
# JOBS (default 2) sets the build's parallelism, YUNJAN_FUZZ_BUILD the tree.
# FORK=N runs N fuzzing processes per target (libFuzzer's -fork), one per
# free core; executions and speed are then those of all of them together.
set -euo pipefail

secs=${1:?usage: fuzz/run.sh SECONDS [target ...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${YUNJAN_FUZZ_BUILD:-$root/build-fuzz}
all=(rtf_fuzz rtf_tokenizer_fuzz profile_fuzz codepage_fuzz)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DYUNJAN_BUILD_FUZZ=ON -DYUNJAN_BUILD_TESTS=OFF -DYUNJAN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target "${targets[@]}" >/dev/null

# An undefined-behaviour report ends the run like a crash. Allocation stacks
# are not recorded: they cost a seventh of the RTF target's time, and a saved
# input replayed without this setting shows them. Freed memory waits in a
# 32 MB quarantine (one input allocates a few MB, so a use after free within
# an input is still caught) and is not handed back to the system: with the
# default 256 MB cycling through the cache and the page faults after each
# release, the RTF target spent a quarter of its time in the kernel.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:quarantine_size_mb=32:allocator_release_to_os_interval_ms=-1}

failed=0
# exec/s is per second of the clock; exec/cpu-s per second of processor time
# (the two differ on a busy machine).
printf '%-20s %12s %8s %12s %6s %6s %s\n' target executions exec/s exec/cpu-s cov ft result
for t in "${targets[@]}"; do
    case $t in
    rtf_fuzz | rtf_tokenizer_fuzz)
        seeds=("$root/fuzz/corpus" "$root/fuzz/regressions/rtf")
        extra=(-dict="$root/fuzz/rtf.dict") ;;
    profile_fuzz)
        seeds=("$root/fuzz/corpus-profile" "$root/fuzz/regressions/profile")
        extra=() ;;
    codepage_fuzz)
        seeds=("$root/fuzz/corpus-codepage" "$root/fuzz/regressions/codepage")
        extra=() ;;
    *) echo "unknown target $t" >&2; exit 2 ;;
    esac
    work="$build/fuzz-work/$t"
    artifacts="$build/fuzz-artifacts/$t"
    log="$build/fuzz-$t.log"
    mkdir -p "$work" "$artifacts" "${seeds[@]}"
    # Seeds over 4 KB (a regression input of 100,000 braces) stay out of the
    # seed set: libFuzzer starts its length limit at the largest seed and
    # raises it as coverage stops growing, so small inputs come first. The
    # test suite replays every regression input anyway.
    seedset="$build/fuzz-seeds/$t"
    rm -rf "$seedset"
    mkdir -p "$seedset"
    find "${seeds[@]}" -maxdepth 1 -type f -size -4k -exec cp -t "$seedset" {} +
    status=0
    TIMEFORMAT=%U
    # -entropic=0: the entropic schedule's per-feature bookkeeping costs
    # about 40% of the RTF targets' time (over 10,000 features per input).
    # -reload=0: a single process has no other writer to the corpus folder,
    # and listing it every second cost the RTF target 8% on a grown corpus.
    par=()
    [ "${FORK:-1}" -gt 1 ] && par=(-fork="$FORK")
    cpu=$({ time QT_QPA_PLATFORM=offscreen "$build/fuzz/$t" "${par[@]}" -max_total_time="$secs" \
        -max_len=65536 -timeout=10 -rss_limit_mb=2048 -detect_leaks=0 -print_final_stats=1 \
        -entropic=0 -reload=0 -artifact_prefix="$artifacts/" "${extra[@]}" "$work" "$seedset" \
        >"$log" 2>&1; } 2>&1) || status=$?
    if [ ${#par[@]} -gt 0 ]; then
        # the parent's status lines: "#runs: cov: N ft: N corp: N exec/s N ... time: Ns"
        last=$(grep -E '^#[0-9]+: cov:' "$log" | tail -1 || true)
        execs=$(echo "$last" | sed -E 's/^#([0-9]+):.*/\1/')
        elapsed=$(echo "$last" | sed -E 's/.* time: ([0-9]+)s.*/\1/')
        speed=$(awk -v e="${execs:-0}" -v t="${elapsed:-0}" 'BEGIN { if (t > 0) printf "%d", e / t }')
    else
        execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
        speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    fi
    cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
    result=ok
    if [ "$status" -ne 0 ]; then
        result="FAILED (status $status, see $log and $artifacts)"
        failed=1
    fi
    percpu=$(awk -v e="${execs:-0}" -v c="${cpu:-0}" 'BEGIN { if (c > 0) printf "%d", e / c; else print "?" }')
    printf '%-20s %12s %8s %12s %6s %6s %s\n' "$t" "${execs:-?}" "${speed:-?}" "$percpu" \
        "$(echo "$cov" | awk '{print $2}')" "$(echo "$cov" | awk '{print $4}')" "$result"
done
exit $failed
