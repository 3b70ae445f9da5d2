#!/usr/bin/env bash
# Renders the gallery of views in docs/views/: five views of scenes 3, 4 and 5, the fill of
# scene 3 as an animation, and the history of one pixel of scene 4.
# Usage: bash scripts/make_view_gallery.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
render="$(render_tool "${1:-build}")"
out="$PIXELWRIGHT_ROOT/docs/views"
mkdir -p "$out"
for scene in 3 4 5; do
  for view in depth mip-level bumped-normal specular overdraw; do
    "$render" --scene "$scene" --size 320x320 --show "$view" --output "$out/scene$scene-$view.png" >/dev/null
  done
done
steps="$(mktemp -d)"
trap 'rm -rf "$steps"' EXIT
"$render" --scene 3 --size 320x320 --steps 24 --output "$steps/fill.png" >/dev/null
bash "$PIXELWRIGHT_ROOT/scripts/animate_fill.sh" "$steps/fill" "$out/scene3-fill.gif" >/dev/null
# The scene builder announces itself on standard output first; the history is the rest.
"$render" --scene 4 --pixel 342,223 | grep -v "^Creating scene" >"$out/scene4-pixel-342-223.txt"
echo "gallery of views written to $out"
