#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
set -euo pipefail
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl1-mesa-dev
    libgtest-dev libgmock-dev libbenchmark-dev libcurl4-openssl-dev
    fonts-dejavu-core xdg-utils
    # Qt's own dialogs and buttons in the session's language.
    qt6-translations-l10n
)
if [ "${1:-}" = "--test" ]; then
    packages+=(xvfb xdotool x11-utils imagemagick iproute2 util-linux desktop-file-utils)
    # The lossy network of the network tests.
    packages+=(nftables)
    # The shortcut test reads message boxes off the screen.
    packages+=(tesseract-ocr tesseract-ocr-deu)
    # Install check, Debian package, fuzzing and the measurement's X client.
    packages+=(appstream dpkg-dev file man-db lintian clang libclang-rt-14-dev python3 libx11-6)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
