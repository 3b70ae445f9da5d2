#!/usr/bin/env bash
# Renders the gallery in docs/: every scene with both renderers at the viewer's initial camera, and
# the page's screenshot from the last browser tests.
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
# The page as the browser tests last saw it: test.sh (or node --test in tests/browser) takes it.
# test.sh tests build-wasm/'s site, node --test alone build-web/'s: the newer screenshot wins.
shot="$(ls -t build-wasm/page.png build-web/page.png 2>/dev/null | head -n 1 || true)"
if [[ -n "$shot" ]]; then
  cp "$shot" docs/page.png
else
  echo "make_gallery.sh: no build-wasm/page.png or build-web/page.png to copy to docs/page.png; bash scripts/test.sh takes it" >&2
fi
echo "gallery written to $root/docs"
