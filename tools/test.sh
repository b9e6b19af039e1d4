#!/usr/bin/env bash
# Builds KIRO with warnings as errors and runs every test.
#   tools/test.sh                      the normal build (build-test/)
#   tools/test.sh --sanitize LIST      the core and its tests under the sanitizers in LIST
#                                      (address,undefined or thread; build-LIST/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/deps.sh"
jobs=$(nproc)
if [ "${1:-}" = "--sanitize" ]; then
    list=${2:?sanitizer list}
    dir="$root/build-${list//,/-}"
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIRO_WERROR=ON \
        -DKIRO_CORE_ONLY=ON -DKIRO_SANITIZE="$list" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
else
    dir="$root/build-test"
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRO_WERROR=ON >/dev/null
fi
cmake --build "$dir" -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j"$jobs"
