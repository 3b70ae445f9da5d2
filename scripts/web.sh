#!/usr/bin/env bash
# Builds Pixelwright's page (the renderer compiled to WebAssembly, in build-web/site/) and serves it
# on http://127.0.0.1:8000/; PORT=8080 bash scripts/web.sh takes another port. Ctrl-C stops it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

port="${PORT:-8000}"
if ! [[ "$port" =~ ^[0-9]+$ ]] || ((port < 1 || port > 65535)); then
  echo "web.sh: PORT must be a port number from 1 to 65535, not \"$port\"" >&2
  exit 2
fi
ensure_packages "${WEB_PACKAGES[@]}"
build_site build-web
echo "Pixelwright's page: http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$PIXELWRIGHT_ROOT/build-web/site"
