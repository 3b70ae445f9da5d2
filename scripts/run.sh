#!/usr/bin/env bash
# Builds the viewer and starts it on this session's X display. Arguments go to the viewer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# xvfb and xauth make the hint below work on a machine without a desktop.
ensure_packages "${BUILD_PACKAGES[@]}" xvfb xauth
configure build >/dev/null

# Without a display the viewer cannot open its window; the same scenes are drawn to PNG files
# instead, by the renderer that needs no X server.
if [[ -z "${DISPLAY:-}" ]]; then
  cmake --build "$PIXELWRIGHT_ROOT/build" -j2 --target pixelwright-render
  echo "run.sh: no X display (DISPLAY is unset), so the scenes are drawn to pictures instead of a window;" \
    "for the viewer itself run it in a desktop session, or on a virtual display: xvfb-run -a bash scripts/run.sh"
  exec bash "$PIXELWRIGHT_ROOT/scripts/render_pictures.sh" build out/pictures
fi

cmake --build "$PIXELWRIGHT_ROOT/build" -j2 --target pixelwright
# The viewer finds sphere.raw in its working directory.
cd "$PIXELWRIGHT_ROOT"
exec ./build/pixelwright "$@"
