# Shared by run.sh and test.sh (sourced, not run): the packages the project needs and its build.

PIXELWRIGHT_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# What building needs: compiler, CMake, the GL/GLU/GLUT/EGL headers, GoogleTest, Google Benchmark,
# CLI11 (pixelwright-render's options), a JSON writer (its --pixel --json), the model importer and
# the image decoder (--model).
BUILD_PACKAGES=(cmake make g++ libgtest-dev libbenchmark-dev freeglut3-dev libglu1-mesa-dev
  libgl1-mesa-dev libegl-dev libopengl-dev libpng-dev libcli11-dev nlohmann-json3-dev help2man dpkg-dev file
  libassimp-dev libstb-dev pkg-config)
# Third-party models the tests load, good and broken.
TEST_PACKAGES=(assimp-testmodels)
# The core compiled to WebAssembly and its tests run by Node: the compiler (which brings Node),
# and GoogleTest's sources to build with it.
WASM_PACKAGES=(emscripten googletest)
# A virtual X display, and the tools that drive (xdotool) and capture (xwd, imagemagick) windows.
DISPLAY_PACKAGES=(xvfb xauth xdotool x11-apps imagemagick)

# The page: emscripten compiles the core to WebAssembly, Python's http.server serves the site.
WEB_PACKAGES=(emscripten cmake make python3)
# The page's tests: Debian's Chromium, driven from Node (node and npm installed only where the
# command is missing: a Node that bundles its own npm conflicts with Debian's package).
BROWSER_PACKAGES=(chromium)

# Installs whichever of the named Debian packages are missing; does nothing when all are there.
ensure_packages() {
  local missing=() package
  for package in "$@"; do
    if [[ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" != "install ok installed" ]]; then
      missing+=("$package")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  local as_root=()
  if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
      echo "$(basename "$0"): missing packages, and neither root nor sudo to install them: ${missing[*]}" >&2
      return 1
    fi
    as_root=(sudo)
  fi
  echo "Installing ${missing[*]}"
  # apt and dpkg report every package they unpack; only a failure's account is worth reading.
  local log
  log="$(mktemp)"
  if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq >"$log" 2>&1 ||
    ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      -o DPkg::Lock::Timeout=300 -o Dpkg::Use-Pty=0 "${missing[@]}" >>"$log" 2>&1; then
    echo "$(basename "$0"): installing the packages failed:" >&2
    cat "$log" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

# configure FOLDER [CMAKE OPTION...]: configures a build in FOLDER below the repository root.
configure() {
  local folder="$1"
  shift
  cmake -S "$PIXELWRIGHT_ROOT" -B "$PIXELWRIGHT_ROOT/$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# configure_wasm FOLDER [CMAKE OPTION...]: configures a WebAssembly build in FOLDER below the
# repository root. Debian's emcc loads its optimizer's parser from /usr/share/nodejs.
configure_wasm() {
  local folder="$1"
  shift
  NODE_PATH=/usr/share/nodejs emcmake cmake -S "$PIXELWRIGHT_ROOT" -B "$PIXELWRIGHT_ROOT/$folder" \
    -DCMAKE_BUILD_TYPE=Release "$@"
}

# render_tool BUILD_FOLDER: prints the path of pixelwright-render in BUILD_FOLDER (relative to the
# repository root unless absolute), or says how to build it and fails.
render_tool() {
  local build="$1"
  [[ "$build" == /* ]] || build="$PIXELWRIGHT_ROOT/$build"
  if [[ ! -x "$build/pixelwright-render" ]]; then
    echo "$(basename "$0"): $build/pixelwright-render is missing; build first (cmake -S . -B build && cmake --build build)" >&2
    return 1
  fi
  echo "$build/pixelwright-render"
}

# build_site FOLDER: builds the page with emscripten into FOLDER/site (relative to the repository root).
build_site() {
  local folder="$PIXELWRIGHT_ROOT/$1"
  # Debian's emcc loads the JavaScript parser its optimizer needs from Debian's Node modules.
  export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
  emcmake cmake -S "$PIXELWRIGHT_ROOT" -B "$folder" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$folder" -j2
}
