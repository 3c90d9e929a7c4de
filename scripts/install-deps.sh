#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those missing; extra
# package names given as arguments are installed too. Works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libqt6svg6 fonts-wqy-microhei
  libjpeg-dev libpng-dev zlib1g-dev libusb-1.0-0-dev
  unifont
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  libjpeg-turbo-progs libgif-dev
  clang-14 libclang-rt-14-dev llvm-14 clang-format-14
  # Glyphkiln: FreeType and fontconfig; a Chinese face for the windows, a Song face
  # for "宋体", and the bitmap faces whose bits its tests know.
  libfreetype-dev libfontconfig-dev
  fonts-arphic-uming xfonts-base xfonts-unifont
  # Qt's own dialogs and buttons in the language of the windows around them.
  qt6-translations-l10n
  # lrelease builds the English translations; lupdate checks them in the tests.
  qt6-l10n-tools qt6-tools-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "missing packages: ${missing[*]}; run this as root (sudo is not installed)" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
