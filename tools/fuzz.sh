#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang, replays each target's seed corpus and its
# regression inputs, then fuzzes each target for a short fixed time. New inputs and findings go
# to a scratch folder, never into the repository. Fails on any crash, leak, timeout or
# out-of-memory, naming the reproducer.
#   FUZZ_SECONDS   seconds of fuzzing per target (default 10)
#   FUZZ_TARGETS   the targets to run (default: all), e.g. "datagram site_config"
#   FUZZ_KEEP      keep the scratch folder even when nothing was found
#   VURNA_FUZZ_BUILD_DIR  the build folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-10}
build=${VURNA_FUZZ_BUILD_DIR:-build-fuzz}
targets=(${FUZZ_TARGETS:-user_file site_config filter_file default_value_file history_file memo_board datagram})

if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is missing; tools/setup.sh installs clang and libclang-rt-14-dev" >&2
    exit 1
fi

# Without a build type CMake adds no optimisation or debug flags of its own; fuzz/ sets -O1.
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE= >/dev/null
cmake --build "$build" -j "$(nproc)"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vurna-fuzz.XXXXXX")
# The targets' temporary shares too, so that a target that dies leaves nothing elsewhere.
mkdir "$scratch/tmp"
export TMPDIR=$scratch/tmp
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=0
for target in "${targets[@]}"; do
    binary=$build/fuzz_$target
    mkdir -p "$scratch/$target/new" "$scratch/$target/found"
    log=$scratch/$target.log
    limits=(-timeout=5 -rss_limit_mb=2048 -artifact_prefix="$scratch/$target/found/")
    inputs=(fuzz/corpus/"$target")
    [[ -d fuzz/regressions/$target ]] && inputs+=(fuzz/regressions/"$target")
    # The replay runs every seed and regression once; then the fuzzing starts from them and
    # keeps what it finds new in the scratch folder (the first folder named).
    if "$binary" "${limits[@]}" -runs=0 "${inputs[@]}" >"$log" 2>&1 &&
        "$binary" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
            "$scratch/$target/new" "${inputs[@]}" >>"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
        printf 'fuzz %-20s ok   %8s runs  %s\n' "$target" "${runs:-?}" "$cov"
    else
        failed=1
        echo "fuzz $target FAILED; the end of its log ($log):"
        tail -n 40 "$log"
        for f in "$scratch/$target/found"/*; do
            [[ -e $f ]] && echo "reproducer: $f  (replay: $binary $f)"
        done
    fi
done

if ((failed)); then
    echo "fuzz.sh: findings kept in $scratch"
    exit 1
fi
[[ -n ${FUZZ_KEEP:-} ]] && echo "fuzz.sh: new inputs kept in $scratch" || rm -rf "$scratch"
