#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: once in a normal build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"

bash tools/setup.sh
# Unformatted code fails before anything is built.
bash tools/check-format.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# The tests run in a network namespace of their own with only loopback up, so that no test can
# reach a network even by mistake. The broadcast test makes its own namespaces inside it.
isolated=()
if unshare --net sh -c 'ip link set lo up' 2>/dev/null; then
    isolated=(unshare --net sh -c 'ip link set lo up && exec "$@"' isolated)
else
    echo "test.sh: network namespaces cannot be made here; the tests run in the machine's own network."
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
${isolated[@]+"${isolated[@]}"} ctest --test-dir build --output-on-failure -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVURNA_SANITIZE=ON -DVURNA_BENCH=OFF
cmake --build build-asan -j "$jobs"
# Twenty copies under the sanitizers would take longer than they tell: the soak runs in the normal pass.
# So do the runs on a file server, which test its behaviour rather than the program's memory.
${isolated[@]+"${isolated[@]}"} ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE "soak|smb|server"

# Every reader of input from other machines, fuzzed for a short while with clang's libFuzzer.
${isolated[@]+"${isolated[@]}"} env FUZZ_SECONDS="${FUZZ_SECONDS:-5}" bash tools/fuzz.sh
