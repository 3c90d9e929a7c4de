#!/usr/bin/env bash
# Runs lupdate over the sources into copies of the translation files: an entry that is
# new or unfinished, or an English left empty, is a window text without its English.
set -euo pipefail
root=${1:?usage: check-ts.sh SOURCE_ROOT}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/translations" "$work/scripts"
cp "$root"/translations/*.ts "$work/translations/"
cp "$root/scripts/update-translations.sh" "$work/scripts/"
for dir in lcd fontgen; do ln -s "$root/$dir" "$work/$dir"; done
bash "$work/scripts/update-translations.sh" >/dev/null 2>&1
status=0
for ts in "$work"/translations/*.ts; do
  name=$(basename "$ts")
  if grep -n 'type="unfinished"' "$ts"; then
    echo "$name: texts without English (run scripts/update-translations.sh and translate them)"
    status=1
  fi
  if grep -n '<translation></translation>\|<translation/>' "$ts"; then
    echo "$name: empty English"
    status=1
  fi
done
exit $status
