#!/usr/bin/env bash
# Redraws the pictures under resources/ (status marks, tray, menu, the demo's custom marks) and
# a contact sheet of them at four times their size for review. Run after changing
# tools/artwork/make_artwork.cpp, then look at the sheet and commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VURNA_ARTWORK_BUILD:-build-artwork}
cmake -S tools/artwork -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" >/dev/null
"$build/make_artwork" resources

sheet="$build/contact-sheet.png"
montage -background '#d0d0d0' -geometry 128x128+6+6 -filter point -tile 8x \
    resources/status/*.png resources/tray/*.png resources/custom/*.png resources/menu/*.png "$sheet"
echo "$sheet"
