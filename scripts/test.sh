#!/usr/bin/env bash
# Builds the project three times, plainly (build/), with AddressSanitizer and UBSan (build-asan/),
# and the core alone without OpenGL (build-core/), and runs the whole test suite in each, on a
# virtual X display of its own; then builds the core, its tests and the page with emscripten
# (build-wasm/) and runs those tests under Node, and tests that build's page in headless Chromium.
# Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

start=$SECONDS
ensure_packages "${BUILD_PACKAGES[@]}" "${DISPLAY_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

work="$(mktemp -d)"
xvfb_pid=""
stop_display() {
  if [[ -n "$xvfb_pid" ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap stop_display EXIT
trap 'exit 130' INT TERM

# Never rely on a display that happens to be running: start one. -displayfd lets the server pick a
# free display number and write it once it accepts connections. The screen is larger than the
# largest window the tests make (2000 x 2000), so the pointer can still leave it and a capture
# holds it whole.
Xvfb -displayfd 3 -screen 0 2048x2048x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for ((i = 0; i < 200; i++)); do
  if [[ -s "$work/display" ]] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    break
  fi
  sleep 0.05
done
if [[ ! -s "$work/display" ]]; then
  echo "test.sh: the virtual X server did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
echo "Virtual display $DISPLAY"

failed=0
summaries=()
# build_and_test FOLDER [CMAKE OPTION...]
build_and_test() {
  local folder="$1"
  shift
  local began=$SECONDS
  echo "=== $folder: configure and build"
  configure "$folder" "$@"
  cmake --build "$PIXELWRIGHT_ROOT/$folder" -j2
  summaries+=("$folder: built in $((SECONDS - began)) s")
  run_tests "$folder"
}

# wasm_build_and_test FOLDER: the core, its tests and the page compiled to WebAssembly; the tests
# run under Node.
wasm_build_and_test() {
  local folder="$1"
  local began=$SECONDS
  ensure_packages "${WASM_PACKAGES[@]}"
  if ! command -v node >/dev/null; then
    ensure_packages nodejs
  fi
  echo "=== $folder: configure and build (WebAssembly)"
  configure_wasm "$folder"
  NODE_PATH=/usr/share/nodejs cmake --build "$PIXELWRIGHT_ROOT/$folder" -j2
  summaries+=("$folder: built in $((SECONDS - began)) s, package check and installation included")
  run_tests "$folder"
}

# run_tests FOLDER: runs the tests of the build in FOLDER and adds their tally to the summary.
run_tests() {
  local folder="$1"
  echo "=== $folder: tests"
  local log="$work/$folder.ctest.log"
  if ! ctest --test-dir "$PIXELWRIGHT_ROOT/$folder" -j2 --output-on-failure --timeout 300 2>&1 | tee "$log"; then
    failed=1
  fi
  summarise "$folder: " < <(grep -E 'tests passed|tests failed|Total Test time|^[[:space:]]+[0-9]+ - ' "$log" || true)
  summarise "$folder: " < <(skip_reasons "$PIXELWRIGHT_ROOT/$folder/Testing/Temporary/LastTest.log")
}

# summarise PREFIX: adds each line of standard input, after PREFIX, to the summary.
summarise() {
  local line
  while IFS= read -r line; do
    summaries+=("$1$line")
  done
}

# The page of the WebAssembly build (build-wasm/site, the same site web.sh builds) in headless
# Chromium, against build/'s pixelwright-render drawn in the same run, and the page's settings rules
# in Node. The tests also leave the page's screenshot in build-wasm/page.png.
browser_test() {
  local began=$SECONDS
  echo "=== browser: the page (built in build-wasm/) in headless Chromium"
  ensure_packages "${WEB_PACKAGES[@]}" "${BROWSER_PACKAGES[@]}"
  command -v node >/dev/null || ensure_packages nodejs
  command -v npm >/dev/null || ensure_packages npm
  local tests="$PIXELWRIGHT_ROOT/tests/browser"
  (cd "$tests" && npm ci --no-audit --no-fund --loglevel=error)
  summaries+=("browser: npm ci in $((SECONDS - began)) s")
  local ran=$SECONDS log="$work/browser.log"
  if ! (cd "$tests" && PIXELWRIGHT_RENDER="$PIXELWRIGHT_ROOT/build/pixelwright-render" \
    PIXELWRIGHT_SITE="$PIXELWRIGHT_ROOT/build-wasm/site" node --test ./*.test.js ../web/*.test.js) 2>&1 |
    tee "$log"; then
    failed=1
  fi
  summarise "browser: " < <(grep -E '^# (tests|pass|fail|cancelled) ' "$log" || true)
  summarise "browser: " < <(grep -E '^ *not ok ' "$log" || true)
  summaries+=("browser: browser tests ran in $((SECONDS - ran)) s")
}

# ctest lists skipped tests without the reason the test gave; it stands in the test's output, on the
# line after GoogleTest's "Skipped".
skip_reasons() {
  [[ -f "$1" ]] || return 0
  awk '/^[0-9]+\/[0-9]+ Testing: / { test = $3 }
       reason { print "  " test " was skipped: " $0; reason = 0 }
       /: Skipped$/ { reason = 1 }' "$1"
}

build_and_test build -DPIXELWRIGHT_SANITIZE=OFF -DPIXELWRIGHT_BENCHMARKS=ON
build_and_test build-asan -DPIXELWRIGHT_SANITIZE=ON
build_and_test build-core -DPIXELWRIGHT_WINDOW=OFF
wasm_build_and_test build-wasm
browser_test

echo "=== summary: $((SECONDS - start)) s in all, package check and installation included"
printf '%s\n' "${summaries[@]}"
exit "$failed"
