#!/usr/bin/env bash
# Builds KIRO and runs it on a design file (default: the 200 mm f/5 Newtonian).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRO_BUILD_TESTS=OFF -DKIRO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)"
design=${1:-$root/examples/newtonian-200-f5.OPT}
if [ -x "$root/build/bin/kiro" ]; then
    exec "$root/build/bin/kiro" "$design"
fi
exec "$root/build/bin/kiro-cli" show "$design"
