# Shared by the run and test commands: installs what is missing and builds.
# Sourced, not run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(cmake ninja-build g++ libgl-dev qt6-base-dev qt6-base-dev-tools
          qt6-webengine-dev qt6-webengine-dev-tools qt6-httpserver-dev qt6-websockets-dev
          qt6-translations-l10n fonts-dejavu-core xvfb xauth imagemagick curl
          xdotool
          dpkg-dev fakeroot
          openbox wmctrl)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    cmake --preset default "$@"
    cmake --build --preset default
}

# WebEngine refuses to start its sandbox as root.
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
