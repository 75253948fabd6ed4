#!/usr/bin/env bash
# Remakes every example document: the scenes made in code and the glTF model, then the
# animated ones, recorded through the plug-in by the scripts in examples/ (each saves its
# document beside itself).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t packages < <(grep -v '^\s*#' scripts/packages.txt | grep -v '^\s*$')
bash scripts/ensure-packages.sh "${packages[@]}"
cmake -S . -B build >/dev/null
cmake --build build --parallel "$(nproc)" --target make_examples make_model keypose-host
build/examples/make_examples examples
build/examples/make_model examples/windmill.glb
for script in examples/*.ks; do
    build/refhost/keypose-host run "$script"
done
