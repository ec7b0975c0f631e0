#!/usr/bin/env bash
# Runs every libFuzzer target of the preset "fuzz" for SECONDS each, over a copy of its seed
# corpus (fuzz/seeds/<name>/), JOBS targets at a time (default: one per core), after building
# the preset when needed. Prints each target's executions and executions per second, and fails
# when a target reports a finding; the input that caused it is kept in
# build/fuzz/findings/<name>/. Files the targets write go to /dev/shm when it is there.
# Usage: tools/fuzz.sh SECONDS [JOBS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: tools/fuzz.sh SECONDS [JOBS]}"
jobs="${2:-$(nproc)}"

if [ ! -f build/fuzz/CMakeCache.txt ]; then
    cmake --preset fuzz
fi
cmake --build --preset fuzz -j "$jobs"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
scratch="$work"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch="$(mktemp -d /dev/shm/tlxvl-fuzz-XXXXXX)"
    trap 'rm -rf "$work" "$scratch"' EXIT
fi

run_target() {
    local target="$1" name="${1##*/fuzz_}"
    local corpus="$work/corpus/$name" findings="build/fuzz/findings/$name"
    mkdir -p "$corpus" "$findings"
    if [ -d "fuzz/seeds/$name" ]; then
        cp -r "fuzz/seeds/$name"/. "$corpus"/
    fi
    local rc=0
    TMPDIR="$scratch" "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$work/$name.log" 2>&1 ||
        rc=$?
    echo "$rc" >"$work/$name.rc"
}

names=()
running=0
for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    names+=("${target##*/fuzz_}")
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    echo "-- starting ${target##*/} for ${seconds}s"
    run_target "$target" &
    running=$((running + 1))
done
wait

failed=0
printf '%-12s %14s %10s  %s\n' target executions exec/s result
for name in "${names[@]}"; do
    log="$work/$name.log"
    execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
    rc="$(cat "$work/$name.rc" 2>/dev/null || echo 1)"
    result=ok
    if [ "$rc" != 0 ]; then
        result="FINDING (exit $rc)"
        failed=1
        echo "== log of fuzz_$name" >&2
        tail -60 "$log" >&2
    fi
    printf '%-12s %14s %10s  %s\n' "$name" "${execs:-?}" "${rate:-?}" "$result"
done
exit "$failed"
