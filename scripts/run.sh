#!/usr/bin/env bash
# Builds the viewer and starts it on this session's X display. Arguments go to the viewer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# xvfb and xauth make the hint below work on a machine without a desktop.
ensure_packages "${BUILD_PACKAGES[@]}" xvfb xauth
configure build >/dev/null
cmake --build "$PIXELWRIGHT_ROOT/build" -j2 --target pixelwright

without_display() {
  echo "run.sh: no X display (DISPLAY is unset); run it in a desktop session, or on a virtual display with: xvfb-run -a bash scripts/run.sh" >&2
  exit 1
}

# The viewer finds sphere.raw in its working directory.
cd "$PIXELWRIGHT_ROOT"
if [[ -z "${DISPLAY:-}" ]]; then
  without_display "$@"
fi
exec ./build/pixelwright "$@"
