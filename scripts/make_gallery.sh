#!/usr/bin/env bash
# Renders the gallery in docs/: every scene with both renderers at the viewer's initial camera.
# Usage: bash scripts/make_gallery.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
render="$(render_tool "${1:-build}")"
root="$PIXELWRIGHT_ROOT"
mkdir -p "$root/docs"
cd "$root"
for scene in 1 2 3 4 5; do
  for renderer in software opengl; do
    "$render" --scene "$scene" --renderer "$renderer" --output "docs/scene$scene-$renderer.png" >/dev/null
  done
done
echo "gallery written to $root/docs"
