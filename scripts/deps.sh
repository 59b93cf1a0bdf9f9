# Installs the Debian packages marlet's builds and tests need, when any is missing.
# Sourced by the other scripts; needs root or sudo only when something is missing.

MARLET_PACKAGES=(
  cmake ninja-build g++ clang clang-tidy libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth python3 python3-pytest
  zlib1g-dev libz-mingw-w64-dev python3-pil imagemagick
  python3-pip python3-venv python3-setuptools python3-wheel
)

marlet_install_deps() {
  local missing=()
  local pkg
  for pkg in "${MARLET_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# Wine, quiet, with a prefix of its own inside the Windows build folder.
marlet_wine_env() {
  export WINEPREFIX="${WINEPREFIX:-$MARLET_ROOT/build/windows/wineprefix}"
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Initialising the Wine prefix in $WINEPREFIX (once)..." >&2
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

# The official MCP SDK, which the tests use as a client we did not write: from the npm registry,
# at the versions tests/client/sdk/package-lock.json pins. Node.js and npm come from the machine,
# or from Debian when it has none.
marlet_install_mcp_sdk() {
  if ! command -v npm >/dev/null 2>&1 || ! command -v node >/dev/null 2>&1; then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: nodejs npm" >&2
    $sudo apt-get update -q >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends nodejs npm >&2
  fi
  local dir="$MARLET_ROOT/tests/client/sdk"
  if [ ! -f "$dir/node_modules/@modelcontextprotocol/sdk/package.json" ] ||
     [ "$dir/package-lock.json" -nt "$dir/node_modules/.package-lock.json" ]; then
    echo "Installing the MCP SDK for the tests (npm ci in tests/client/sdk)" >&2
    (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error) >&2
  fi
}
