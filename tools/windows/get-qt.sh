#!/usr/bin/env bash
# Prints the folder of Qt for Windows, unpacking or building it into the cache first when needed.
# Usage: get-qt.sh CACHE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=$1
mkdir -p "$cache"
source=${VURNA_QT_MINGW:-}
if [[ -z $source && -f $here/../../../shared/windows/qt6.4.2-mingw-w64.tar.xz ]]; then
    source=$(cd "$here/../../../shared/windows" && pwd)/qt6.4.2-mingw-w64.tar.xz
fi
if [[ -n $source && -d $source ]]; then
    echo "$(cd "$source" && pwd)"
    exit 0
fi
if [[ ! -x $cache/qt6-mingw/bin/qt-cmake ]]; then
    if [[ -z $source ]]; then
        echo "No prebuilt Qt for Windows: building it from Debian's source (about an hour)." >&2
        bash "$here/build-qt.sh" "$cache/qt-build" >&2
        source=$cache/qt-build/qt6.4.2-mingw-w64.tar.xz
    fi
    rm -rf "$cache/qt6-mingw"
    tar -C "$cache" -xJf "$source"
fi
echo "$cache/qt6-mingw"
