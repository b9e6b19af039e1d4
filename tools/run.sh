#!/usr/bin/env bash
# Builds KIRO and starts it on a design file (default: the 200 mm f/5 Newtonian). Without
# a display it renders the design's four views to PNG files with kiro-cli instead.
#   tools/run.sh [FILE.OPT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/deps.sh"
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRO_BUILD_TESTS=OFF \
    -DKIRO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target kiro kiro-cli
design=${1:-$root/examples/newtonian-200-f5.OPT}

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/bin/kiro" "$design"
fi

echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): rendering the views with kiro-cli."
out="$build/views"
mkdir -p "$out"
name=$(basename "$design")
name=${name%.*}
for view in layout spot curves light; do
    picture="$out/$name-$view.png"
    "$build/bin/kiro-cli" render "$view" "$design" -o "$picture"
    echo "$picture"
done
