# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Zefirina developers
# Shared by the run and test commands: installs what is missing and builds.
# Sourced, not run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(cmake ninja-build g++ libgl-dev qt6-base-dev qt6-base-dev-tools
          qt6-webengine-dev qt6-webengine-dev-tools qt6-httpserver-dev qt6-websockets-dev
          qt6-translations-l10n fonts-dejavu-core xvfb xauth imagemagick curl
          xdotool
          dpkg-dev fakeroot
          openbox wmctrl
          clang-format
          clang libclang-rt-14-dev)

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

# Every C++ file git tracks must be laid out as .clang-format says (clang-format -i FILE
# lays one out); without git, every one below the top folder but the build folders.
check_format() {
    local files=()
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h' '*.js')
    else
        mapfile -d '' files < <(find . \( -path './build*' -o -path './.git' \) -prune -o \
                                       \( -name '*.cpp' -o -name '*.h' -o -name '*.js' \) -print0)
    fi
    clang-format --dry-run --Werror "${files[@]}"
}

build() {
    cmake --preset default "$@"
    cmake --build --preset default
}

# WebEngine refuses to start its sandbox as root.
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
