#!/usr/bin/env bash
# Renders the gallery in docs/: every scene with both renderers at the viewer's initial camera.
# Usage: bash scripts/make_gallery.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
render="$root/${1:-build}/pixelwright-render"
if [[ ! -x "$render" ]]; then
  echo "make_gallery.sh: $render is missing; build first (cmake -S . -B build && cmake --build build)" >&2
  exit 1
fi
mkdir -p "$root/docs"
cd "$root"
for scene in 1 2 3 4 5; do
  for renderer in software opengl; do
    "$render" --scene "$scene" --renderer "$renderer" --output "docs/scene$scene-$renderer.png" >/dev/null
  done
done
echo "gallery written to $root/docs"
