#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when any is missing.
# With --windows: what the Windows build needs instead (the cross compiler, Wine, NSIS), with the
# host's Qt tools, which the cross build runs.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev libicu-dev libgtest-dev libgmock-dev libbenchmark-dev
    fonts-ipafont-gothic
    xvfb trayer xdotool imagemagick x11-utils
    python3 iproute2
    clang libclang-rt-14-dev clang-format
    fuse3 libfuse3-dev samba smbnetfs
)
if [[ ${1:-} == --windows ]]; then
    packages=(
        cmake ninja-build qt6-base-dev qt6-base-dev-tools libgtest-dev
        g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
        wine wine64 nsis zip unzip xz-utils python3 xvfb imagemagick fonts-ipafont-gothic
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
