#!/usr/bin/env bash
# Regenerates the automatically designed examples: every designer type for sensible inputs,
# written to examples/designed/*.OPT, with a side view and a spot diagram of each in
# docs/images/ and the list in docs/examples.md.
#   tools/make_examples.sh [KIRO_CLI]     (default: build/bin/kiro-cli, built when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/kiro_cli.sh" "${1:-}"
catalog="$root/data/glass.dat"
out="$root/examples/designed"
images="$root/docs/images"
mkdir -p "$out" "$images"

# name | title | kiro-cli design arguments
examples=(
    "newtonian-200-f5|200 mm f/5 Newtonian|reflector --type newtonian --aperture 200 --fnum 5"
    "cassegrain-200-f10|200 mm f/10 Cassegrain, back focus 150 mm|reflector --type cassegrain --aperture 200 --fnum 10 --back 150"
    "dall-kirkham-200-f10|200 mm f/10 Dall-Kirkham, back focus 150 mm|reflector --type dall-kirkham --aperture 200 --fnum 10 --back 150"
    "maksutov-cassegrain-150-f12|150 mm f/12 Maksutov-Cassegrain, N-BK7 meniscus|reflector --type maksutov-cassegrain --aperture 150 --fnum 12 --back 150 --glass N-BK7"
    "maksutov-newtonian-150-f5|150 mm f/5 Maksutov-Newtonian, N-BK7 meniscus|reflector --type maksutov-newtonian --aperture 150 --fnum 5 --glass N-BK7"
    "schmidt-cassegrain-200-f10|200 mm f/10 Schmidt-Cassegrain, N-BK7 plate|reflector --type schmidt-cassegrain --aperture 200 --fnum 10 --back 150 --glass N-BK7"
    "baker-schmidt-cassegrain-200-f10|200 mm f/10 Baker Schmidt-Cassegrain, N-BK7 plate|reflector --type baker-schmidt-cassegrain --aperture 200 --fnum 10 --back 150 --glass N-BK7"
    "schmidt-camera-200-f2|200 mm f/2 Schmidt camera, N-BK7 plate|reflector --type schmidt-camera --aperture 200 --fnum 2 --glass N-BK7"
    "doublet-100-f9|100 mm f/9 doublet, N-BK7 and F2|refractor --type doublet --aperture 100 --fnum 9 --glass1 N-BK7 --glass2 F2"
    "doublet-flattener-102-f7|102 mm f/7 doublet, S-FPL53 and N-KZFS4, N-SF5 flattener|refractor --type doublet-flattener --aperture 102 --fnum 7 --glass1 S-FPL53 --glass2 N-KZFS4 --glass3 N-SF5"
)

list="$root/docs/examples.md"
{
    echo "# Designed examples"
    echo
    echo "Written by \`tools/make_examples.sh\` with \`kiro-cli design\` from the shipped glass"
    echo "catalogue, each refocused twice at the d line as after a design in the program."
    echo "The designs are in \`examples/designed/\`; below, the side view and the spot diagram"
    echo "(on axis and two field positions) of each."
    echo
} >"$list.tmp"

for entry in "${examples[@]}"; do
    IFS='|' read -r name title args <<<"$entry"
    design="$out/$name.OPT"
    # shellcheck disable=SC2086 # the argument list is meant to split
    "$cli" design $args --glass-file "$catalog" -o "$design"
    "$cli" render layout "$design" -o "$images/$name-layout.png"
    "$cli" render spot "$design" -o "$images/$name-spot.png"
    chmod 644 "$design" "$images/$name-layout.png" "$images/$name-spot.png"
    {
        echo "## $title"
        echo
        echo "\`examples/designed/$name.OPT\`"
        echo
        echo "![side view](images/$name-layout.png)"
        echo "![spot diagram](images/$name-spot.png)"
        echo
    } >>"$list.tmp"
    echo "$name"
done
mv "$list.tmp" "$list"
