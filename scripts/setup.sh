#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need
# (only those that are missing), so a fresh Debian 12 machine is ready.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config git
    mdbtools-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlcipher-dev sqlcipher
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-cjk
    xvfb xauth imagemagick
    clang libclang-rt-14-dev
    libreoffice-writer-nogui python3-uno
    qt6-translations-l10n
)
# The word processor and its Python bridge are part of the program (document
# import, paste of web content), not only of the tests: they are installed
# for ./run.sh and ./test.sh alike. Qt's translations give its own dialogs
# and menus in Chinese.
# "--tests" (from ./test.sh) adds the checkers of the desktop entry, the
# AppStream data and the .deb package, and clang-format for the style check.
if [ "${1:-}" = "--tests" ]; then
    PACKAGES+=(desktop-file-utils appstream lintian file clang-format)
fi

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
