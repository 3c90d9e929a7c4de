#!/usr/bin/env bash
# Shows the editor as a user sees it: starts lcdscreen under a virtual X server with a copy
# of the demo project open and writes PNG pictures of the main window into OUTDIR (as it
# opens, with each page's window in front, with an item of the first page selected at 2x,
# with the instruction tree open, with the grid, as the module shows it), of each menu, of
# the manual's window, of the link dialogs, the panels and the project dialogs, and of the
# virtual-module dock showing the first page.
# LCDSCREEN=path/to/lcdscreen uses that program instead of building build/release;
# SHOT_LANGUAGE=en shows the English windows (Chinese by default).
set -euo pipefail
out=${1:?usage: scripts/screenshot.sh OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh xvfb xauth
lcdscreen=${LCDSCREEN:-build/release/lcd/app/lcdscreen}
if [ -z "${LCDSCREEN:-}" ]; then
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/release --target lcdscreen fonts
fi
# The editor writes the project file back; the examples stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r examples/demo "$work/demo"
mkdir "$work/home"
LCDSCREEN_HOME="$work/home" xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
  env LANGUAGE="${SHOT_LANGUAGE:-zh_CN}" "$lcdscreen" "$work/demo/demo.zkp" --screenshots "$out"
