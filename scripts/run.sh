#!/usr/bin/env bash
# Installs what is missing, builds the Release tree (the lcdscreen editor with it) and runs
# the main job: exports the demo project's flash image, shows its first page on the virtual
# module, renders the bundled example pages into PNG files and prints where everything is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLCD_BENCH=ON >/dev/null
cmake --build build/release
lcdtool=build/release/tools/lcdtool/lcdtool
"$lcdtool" export examples/demo/demo.zkp -o build/release/demo.bin --crc
echo build/release/demo.bin
# What a module shows after that download and a show-page command for the first page.
"$lcdtool" command show-page 0 -o build/release/show-page-0.bin
build/release/sim/lcdsim run build/release/demo.bin build/release/show-page-0.bin \
  -o build/release/demo-module.png
echo build/release/demo-module.png
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
