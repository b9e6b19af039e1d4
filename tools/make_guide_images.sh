#!/usr/bin/env bash
# Regenerates the pictures of the user's guide (help/images/) with kiro-cli: the three
# worked examples of help/kiro.htm are designed exactly as the guide shows, then drawn.
#   tools/make_guide_images.sh [KIRO_CLI]     (default: build/bin/kiro-cli, built when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/kiro_cli.sh" "${1:-}"
catalog="$root/data/glass.dat"
images="$root/help/images"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$images"

design() {
    local name=$1
    shift
    "$cli" design "$@" --glass-file "$catalog" -o "$work/$name.OPT"
}

# render NAME VIEW DESIGN [OPTIONS...]: help/images/NAME.png
render() {
    local name=$1 view=$2 file=$3
    shift 3
    "$cli" render "$view" "$work/$file.OPT" -o "$images/$name.png" "$@"
    chmod 644 "$images/$name.png"
    echo "help/images/$name.png"
}

design newtonian reflector --type newtonian --aperture 200 --fnum 5
design sct reflector --type schmidt-cassegrain --aperture 200 --fnum 10 --back 150 --glass N-BK7
design doublet refractor --type doublet --aperture 100 --fnum 9 --glass1 N-BK7 --glass2 F2

render newtonian-layout layout newtonian
render newtonian-spot spot newtonian
render newtonian-curves curves newtonian
render newtonian-light light newtonian
render newtonian-rays-3deg layout newtonian --angle 3

render sct-layout layout sct
render sct-spot spot sct
render sct-curves curves sct
render sct-curves-1500 curves sct --scroll 150

render doublet-layout layout doublet
render doublet-spot spot doublet
render doublet-spot-cdf spot doublet --lines C,d,F --scroll 30
render doublet-curves curves doublet

# The wavefront pictures: the Newtonian, a 150 mm f/8 spherical mirror (R 2400, focal
# plane at the paraxial focus) and the Schmidt-Cassegrain.
printf '%s\n' ver100 "Spherical mirror 150 mm f/8" 11 "0 0 0" "0 0 1" "2400 0 0 0" 75 \
    "1 1 1 1 1 1 1 1 " - 2 "0 0 1200" "0 0 1" "0 0 0 0" 20 "1 1 1 1 1 1 1 1 " - \
    >"$work/spherical.OPT"
render newtonian-wavefront wavefront newtonian
render newtonian-mtf mtf newtonian
render spherical-wavefront wavefront spherical
render spherical-startest startest spherical
render sct-psf psf sct --log
render sct-startest startest sct

# The dialog screenshots in help/images/ (kiro-*.png, kiro-en-*.png) are grabbed from the
# running program and kept as they are.
