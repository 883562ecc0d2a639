#!/usr/bin/env bash
# Shared set-up for ./test and ./run: install what is missing, then configure and build.
# Sourced, not executed: it sets ROOT and BUILD for the caller.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

# Everything the build, the tests and the screenshots need, all from Debian 12.
PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev qt6-svg-dev libqt6sql6-sqlite
    xvfb xauth imagemagick fonts-dejavu-core fonts-liberation dbus-daemon dbus-bin
    clang-14 libclang-rt-14-dev sqlite3
)

missing_packages() {
    local p
    for p in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$p"
        fi
    done
}

install_missing() {
    local missing
    missing=$(missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing missing packages:" $missing
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

configure_and_build() {
    if [ ! -f "$BUILD/build.ninja" ]; then
        cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build "$BUILD" --parallel "$(nproc)"
}
