#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing.
set -euo pipefail
# ghostscript gives ps2pdf for the release notes (infoversion.pdf); the build skips them without.
# postgresql (the server, for the tests' throw-away cluster) and libpq-dev: the server store.
# libicu-dev: the French order of texts in the engine.
# groff-base renders the manual pages (their test); clang-format checks the format in CI.
# cups and printer-driver-cups-pdf: the tests' private CUPS server and its PDF queues (read back
# with poppler-utils).
PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
    libgl1-mesa-dev libsqlite3-dev libsodium-dev libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation fonts-dejavu-core poppler-utils xvfb xauth qt6-translations-l10n
    ghostscript postgresql libpq-dev libicu-dev groff-base clang-format cups
    printer-driver-cups-pdf)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
