#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need
# (only those that are missing), so a fresh Debian 12 machine is ready.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlcipher-dev sqlcipher
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-cjk
    xvfb xauth imagemagick
    clang libclang-rt-14-dev
)
# The tests also check our RTF against a real word processor.
if [ "${1:-}" = "--tests" ]; then
    PACKAGES+=(libreoffice-writer-nogui)
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
