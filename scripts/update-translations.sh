#!/usr/bin/env bash
# Gathers the window texts of lcdscreen and Glyphkiln into their translation files (new
# texts arrive as unfinished entries, to be translated in Qt Linguist or by hand). The
# build turns the files into .qm with lrelease; the tests refuse an unfinished entry.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
common=(-no-obsolete -locations none -source-language zh_CN -target-language en)
"$lupdate" "${common[@]}" -I lcd lcd/ui lcd/app -ts translations/lcdscreen_en.ts
"$lupdate" "${common[@]}" -I fontgen/app -I fontgen/core fontgen/app -ts translations/glyphkiln_en.ts
