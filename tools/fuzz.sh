#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   tools/fuzz.sh [SECONDS]     seconds per target (default 60); inputs that take longer
#                               than 10 s count as hangs and fail the run
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir="$root/build-fuzz"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRO_WERROR=ON \
    -DKIRO_CORE_ONLY=ON -DKIRO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j"$(nproc)" --target kiro_readers_fuzzer kiro_analyses_fuzzer
seeds=("$root/examples" "$root/examples/designed" "$root/tests/data")
for fuzzer in kiro_readers_fuzzer kiro_analyses_fuzzer; do
    corpus="$dir/corpus-$fuzzer"
    mkdir -p "$corpus"
    echo "$fuzzer: ${seconds} s"
    log="$dir/$fuzzer.log"
    if ! (cd "$dir" && "$dir/tests/fuzz/$fuzzer" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=4096 -print_final_stats=1 "$corpus" "${seeds[@]}" >"$log" 2>&1); then
        tail -n 80 "$log"
        exit 1
    fi
    tail -n 12 "$log"
done
