#!/usr/bin/env bash
# Installs what is missing, builds the Release tree and runs the main job: renders the
# bundled example pages into PNG files and prints where they are.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLCD_BENCH=ON >/dev/null
cmake --build build/release
out=build/release/example-renders
mkdir -p "$out"
for page in examples/*.pg examples/demo/*.pg; do
  name=$(basename "$(dirname "$page")")-$(basename "$page" .pg)
  build/release/tools/lcdtool/lcdtool render "$page" -o "$out/$name.png" --zoom 2
  echo "$out/$name.png"
done
