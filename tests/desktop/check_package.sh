#!/usr/bin/env bash
# Builds the .deb from a build tree with CPack, unpacks it and checks what a
# user gets: the programs, the menu entry, the icons, the AppStream data, the
# package's relations and description; lintian must report no error.
#   check_package.sh BUILD_DIR APP_ID VERSION PROGRAM...
set -euo pipefail
build="$1" id="$2" version="$3"
shift 3
programs=("$@")

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >cpack.log 2>&1) || {
    cat "$work/cpack.log"
    exit 1
}
deb="$work/out/yunjan_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
    ls -l "$work/out"
    echo "FAIL: no package named $(basename "$deb")"
    exit 1
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"

for p in "${programs[@]}"; do
    [ -x "$root/usr/bin/$p" ] || fail "usr/bin/$p missing"
    [ -f "$root/usr/share/man/man1/$p.1.gz" ] || fail "manual page of $p missing"
done
for f in "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
         "usr/share/icons/hicolor/scalable/apps/$id.svg" \
         usr/share/doc/yunjan/copyright usr/share/doc/yunjan/changelog.gz; do
    [ -f "$root/$f" ] || fail "$f missing"
done
for s in 16 22 24 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${s}x${s}/apps/$id.png"
    if [ ! -f "$icon" ]; then
        fail "icon ${s}x${s} missing"
    elif ! file "$icon" | grep -q "PNG image data, $s x $s,"; then
        fail "icon ${s}x${s} is $(file -b "$icon")"
    fi
done
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "AppStream data invalid"

# The packaged tool runs (stripped, from its installed place).
out="$("$root/usr/bin/yunjan-initdb" --version)" || fail "yunjan-initdb --version failed"
[ "$out" = "yunjan-initdb $version" ] || fail "yunjan-initdb --version printed '$out'"

field() { dpkg-deb -f "$deb" "$1"; }
depends="$(field Depends)"
for lib in libqt6widgets6 libsqlcipher qt6-translations-l10n fonts-noto-cjk; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
recommends="$(field Recommends)"
for p in libreoffice-writer-nogui python3-uno; do
    grep -q "$p" <<<"$recommends" || fail "Recommends lacks $p: $recommends"
done
description="$(field Description)"
grep -q 'personal library of articles' <<<"$description" || fail "no English description"
grep -q '个人文章库' <<<"$description" || fail "no Chinese description"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"

echo "== lintian =="
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package $(basename "$deb") checked"
