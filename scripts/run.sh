#!/usr/bin/env bash
# Installs what is missing, builds the Release tree (the lcdscreen editor with it) and runs
# the main job: exports the demo project's flash image, renders the bundled example pages
# into PNG files and prints where everything is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLCD_BENCH=ON >/dev/null
cmake --build build/release
lcdtool=build/release/tools/lcdtool/lcdtool
"$lcdtool" export examples/demo/demo.zkp -o build/release/demo.bin --crc
echo build/release/demo.bin
"$lcdtool" layout examples/demo/demo.zkp --png build/release/demo-layout.png \
  >build/release/demo-layout.txt
echo build/release/demo-layout.txt
echo build/release/demo-layout.png
out=build/release/example-renders
mkdir -p "$out"
for page in examples/*.pg examples/demo/*.pg; do
  name=$(basename "$(dirname "$page")")-$(basename "$page" .pg)
  "$lcdtool" render "$page" -o "$out/$name.png" --zoom 2
  echo "$out/$name.png"
done
echo "editor: build/release/lcd/app/lcdscreen examples/demo/demo.zkp"
