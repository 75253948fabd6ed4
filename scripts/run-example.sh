#!/usr/bin/env bash
# The main job: installs what is missing, builds the host program and the plug-in, and runs
# the plug-in on a bundled example: two tween points recorded from the palette, five seconds
# of playback, a picture of the palette and the animated document saved beside the build.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t packages < <(grep -v '^\s*#' scripts/packages.txt | grep -v '^\s*$')
bash scripts/ensure-packages.sh "${packages[@]}"
cmake -S . -B build >/dev/null
cmake --build build --parallel "$(nproc)" --target keypose-host
build/refhost/keypose-host --demo --play 5 --palette-png build/palette.png \
    --save build/textured_box_animated.json examples/textured_box.json
