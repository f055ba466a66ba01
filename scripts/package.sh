#!/usr/bin/env bash
# Builds the Debian package yunjan_<version>_amd64.deb in the repository's
# folder from a Release build (build-package/), with Debian's hardening
# flags. Install it with: sudo apt install ./yunjan_<version>_amd64.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/setup.sh
# Debian's compiler and linker flags (stack protector, fortify, relro, now).
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS" CFLAGS="$CPPFLAGS $CFLAGS"

scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DYUNJAN_BUILD_TESTS=OFF -DYUNJAN_BUILD_BENCH=OFF -DYUNJAN_SANITIZE=OFF
(cd build-package && cpack -G DEB -B "$root/build-package/deb")
for deb in build-package/deb/yunjan_*.deb; do
    cp "$deb" "$root/"
    echo "Built $(basename "$deb"); install it with: sudo apt install ./$(basename "$deb")"
done
