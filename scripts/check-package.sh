#!/usr/bin/env bash
# Builds the Debian package from the Release tree that scripts/run.sh built (no second
# build: only what is out of date), then checks it as a Debian user would get it: the
# listing holds the programs, the desktop entry, the MIME types, the icons, the udev rules,
# the translations, the AppStream metadata and the manual pages; lintian reports no error;
# appstreamcli accepts the metadata; man finds nothing to warn about in the manual pages;
# apt installs it, the installed programs run, and it is removed again.
# BUILD_DIR=path/to/tree checks another tree (default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
# cpack's dependency list needs dpkg-shlibdeps (dpkg-dev) and file; the checks need
# lintian, appstreamcli and man.
bash scripts/install-deps.sh dpkg-dev file lintian appstream man-db
build=${BUILD_DIR:-build/release}
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "check-package: $build is not a build tree (run scripts/run.sh first)" >&2
  exit 1
fi
cmake --build "$build"
rm -f "$build"/lcdscreen_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/lcdscreen_*.deb)
deb=${debs[0]}
if [ ${#debs[@]} -ne 1 ] || [ ! -f "$deb" ]; then
  echo "check-package: cpack made no single lcdscreen_*.deb in $build" >&2
  exit 1
fi
echo "package: $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /'

failed=0
fail() {
  echo "FAIL: $*"
  failed=$((failed + 1))
}

# What the package must hold, by what it is for.
expected=(
  # the programs and the CAN adapter library
  usr/bin/lcdscreen usr/bin/glyphkiln usr/bin/lcdtool usr/bin/lcdsim usr/bin/kvxsim
  usr/lib/libKVX_CAN.so
  # desktop entry, MIME types, icons
  usr/share/applications/lcdscreen.desktop
  usr/share/mime/packages/lcdscreen.xml
  usr/share/icons/hicolor/scalable/apps/lcdscreen.svg
  usr/share/icons/hicolor/scalable/mimetypes/application-x-lcdscreen-page.svg
  usr/share/icons/hicolor/scalable/mimetypes/application-x-lcdscreen-project.svg
  # udev rules
  usr/lib/udev/rules.d/70-lcdscreen.rules
  # translations
  usr/share/lcdscreen/translations/lcdscreen_en.qm
  usr/share/lcdscreen/translations/glyphkiln_en.qm
  # AppStream metadata
  usr/share/metainfo/org.example.lcdscreen.metainfo.xml
  # manual pages
  usr/share/man/man1/lcdtool.1.gz usr/share/man/man1/lcdsim.1.gz
  usr/share/man/man1/glyphkiln.1.gz usr/share/man/man1/kvxsim.1.gz
  usr/share/man/man1/lcdscreen.1.gz
  # the data the programs read, and what Debian asks of every package
  usr/share/lcdscreen/manual.html usr/share/lcdscreen/manual.en.html
  usr/share/lcdscreen/lcdscreen.png usr/share/lcdscreen/ASC16 usr/share/lcdscreen/hzk16
  usr/share/doc/lcdscreen/copyright usr/share/doc/lcdscreen/changelog.Debian.gz
)
listing=$(dpkg --contents "$deb" | awk '{print $6}' | sed 's|^\./||')
for path in "${expected[@]}"; do
  if grep -qxF "$path" <<<"$listing"; then
    echo "ok: $path"
  else
    fail "$path is not in the package"
  fi
done

# Lintian: warnings are listed, errors fail.
if lintian --fail-on error --tag-display-limit 0 "$deb"; then
  echo "ok: lintian reports no error"
else
  fail "lintian reports errors"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"

# The metadata as installed. Offline: the homepage and the screenshots' addresses are not
# fetched.
metainfo=$work/usr/share/metainfo/org.example.lcdscreen.metainfo.xml
if [ -f "$metainfo" ]; then
  if appstreamcli validate --no-net "$metainfo"; then
    echo "ok: appstreamcli validate"
  else
    fail "appstreamcli rejects $(basename "$metainfo")"
  fi
fi

# The manual pages as installed, with man's own warnings on.
for page in "$work"/usr/share/man/man1/*.1.gz; do
  [ -f "$page" ] || continue
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  if [ -n "$warnings" ]; then
    fail "man warns on $(basename "$page"): $warnings"
  else
    echo "ok: man --warnings $(basename "$page")"
  fi
done

# The package as a Debian user installs it: apt takes it with the dependencies it declares,
# the installed editor starts from /usr and draws its windows in English under a virtual X
# server (scripts/screenshot.sh), the installed lcdtool reads a page, and the package is
# removed again.
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
if $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "$(realpath "$deb")" >/dev/null 2>&1; then
  echo "ok: apt installs the package"
  shots=$work/shots
  if LCDSCREEN=/usr/bin/lcdscreen SHOT_LANGUAGE=en bash scripts/screenshot.sh "$shots" >/dev/null &&
    [ -s "$shots/lcdscreen.png" ]; then
    echo "ok: the installed editor draws its windows in English ($(ls "$shots" | wc -l) pictures)"
  else
    fail "the installed editor wrote no screenshot"
  fi
  if LANGUAGE=en /usr/bin/lcdtool info examples/shapes-8.pg >/dev/null; then
    echo "ok: the installed lcdtool reads a page"
  else
    fail "the installed lcdtool cannot read examples/shapes-8.pg"
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq lcdscreen >/dev/null 2>&1 ||
    fail "apt cannot remove the package"
else
  fail "apt cannot install $deb"
fi

if [ "$failed" -ne 0 ]; then
  echo "check-package: $failed checks failed"
  exit 1
fi
echo "check-package: the package holds everything and lintian and appstreamcli accept it"
