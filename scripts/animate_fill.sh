#!/usr/bin/env bash
# Assembles the pictures of pixelwright-render --steps into one animated picture.
# Usage: bash scripts/animate_fill.sh STEM OUTPUT.gif   (reads STEM-001.png, STEM-002.png, ...)
set -euo pipefail
if (($# != 2)); then
  echo "usage: $(basename "$0") STEM OUTPUT.gif" >&2
  exit 2
fi
shopt -s nullglob
frames=("$1"-[0-9][0-9][0-9].png)
if ((${#frames[@]} == 0)); then
  echo "$(basename "$0"): no pictures $1-001.png ... to assemble" >&2
  exit 1
fi
# A quarter second a step, and the finished frame held for two seconds before the loop restarts.
convert -delay 25 -loop 0 "${frames[@]::${#frames[@]}-1}" -delay 200 "${frames[-1]}" -layers Optimize "$2"
echo "wrote $2 (${#frames[@]} steps)"
