#!/usr/bin/env bash
# The main job: installs what is missing, builds the host program and the plug-in, and renders
# a bundled example through the plug-in: a frame of the 3D view and of the palette every tenth
# of a second, and a contact sheet of the 3D frames.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t packages < <(grep -v '^\s*#' scripts/packages.txt | grep -v '^\s*$')
bash scripts/ensure-packages.sh "${packages[@]}"
cmake -S . -B build >/dev/null
cmake --build build --parallel "$(nproc)" --target keypose-host
build/refhost/keypose-host render examples/crate_moves.json --out build/render --fps 10
