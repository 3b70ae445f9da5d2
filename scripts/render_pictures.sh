#!/usr/bin/env bash
# Draws the five scenes with pixelwright-render, needing no display: each picture shows the software
# renderer, the OpenGL renderer and their difference side by side. Without any OpenGL (no EGL
# device) it draws the software renderer alone.
# Usage: bash scripts/render_pictures.sh [BUILD_FOLDER [PICTURE_FOLDER]]   (default: build out/pictures)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
render="$(render_tool "${1:-build}")"
folder="${2:-out/pictures}"
[[ "$folder" == /* ]] || folder="$PIXELWRIGHT_ROOT/$folder"
mkdir -p "$folder"
# Scene 5 reads sphere.raw from the working directory, as the viewer does.
cd "$PIXELWRIGHT_ROOT"
renderer=both
for scene in 1 2 3 4 5; do
  status=0
  said="$("$render" --scene "$scene" --renderer "$renderer" --output "$folder/scene$scene.png" 2>&1)" || status=$?
  if [[ "$renderer" == both && "$status" == 3 ]]; then
    echo "render_pictures.sh: ${said#pixelwright-render: }" >&2
    echo "render_pictures.sh: drawing the software renderer alone" >&2
    renderer=software
    status=0
    said="$("$render" --scene "$scene" --renderer "$renderer" --output "$folder/scene$scene.png" 2>&1)" || status=$?
  fi
  if [[ "$status" != 0 ]]; then
    echo "$said" >&2
    exit "$status"
  fi
  # The difference figures, when both renderers drew.
  grep '^software vs opengl' <<<"$said" | sed "s/^/scene $scene: /" || true
done
if [[ "$renderer" == both ]]; then
  echo "Pictures of scenes 1 to 5 (software | OpenGL | difference) are in $folder"
else
  echo "Pictures of scenes 1 to 5 (software renderer) are in $folder"
fi
