#!/usr/bin/env bash
# Makes the README's pictures in OUT (default docs/):
#   wobble.png           the window, once the box has come to rest
#   wobble-rendered.png  the box at rest, rendered from wobble2rib at the window's size
#   wobble.gif           the box falling and wobbling after a push, rendered
#
#   tools/pictures.sh RENDERER [BUILD [OUT]]
#
# RENDERER is the command that renders the RIB file named as its last word,
# writing the picture into the current folder: "aqsis", or the command of any
# other RenderMan renderer. Needs a build (default build/), ImageMagick's
# convert and xvfb-run; `make pictures RENDERER=...` provides all three.
set -euo pipefail
[ $# -ge 1 ] && [ -n "$1" ] || { echo "usage: tools/pictures.sh RENDERER [BUILD [OUT]]" >&2; exit 2; }
renderer=$1
build=$(cd "${2:-build}" && pwd)
mkdir -p "${3:-docs}"
out=$(cd "${3:-docs}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every RIB file in the work folder, each on its own, as a farm would.
render_all() {
    local rib
    for rib in "$work"/*.rib; do
        (cd "$work" && sh -c "$renderer \"\$1\"" sh "$(basename "$rib")")
    done
}

echo "the window's picture"
xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/tools/xwin" shot "Wobble Madness" 3 "$out/wobble.png" "$build/wobble"

echo "a frame at rest, rendered"
"$build/wobble2rib" --frames 2000 --every 2000 --image rest.%04d.tif -o "$work/rest.%04d.rib"
rm "$work/rest.0000.rib"
render_all
convert "$work/rest.2000.tif" "$out/wobble-rendered.png"
rm -f "$work"/*

# Every 6th frame is 0.03 s apart, so a delay of 3/100 s plays it in real
# time. The picture is cut down to the part the box moves in.
echo "the animation, rendered"
"$build/wobble2rib" --frames 360 --every 6 --poke 150:0 --size 450x450 -o "$work/wobble.%04d.rib"
render_all
convert -delay 3 -loop 0 "$work"/wobble.*.tif -crop 180x150+135+195 +repage \
    -colors 32 -layers Optimize "$out/wobble.gif"
echo "pictures in $out: wobble.png wobble-rendered.png wobble.gif"
