#!/usr/bin/env bash
# Sets everything up and starts the program on its default database.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"

scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYUNJAN_BUILD_TESTS=OFF

# The program folder: the executable, its settings file beside it, and
# data/YunjanDB.mdb below it (the program's working directory).
prog="$root/dist"
mkdir -p "$prog/data"
install -m 755 build/yunjan "$prog/yunjan"
# Siblings the program starts from its own folder.
install -m 755 build/tools/yunjan-import-mdb "$prog/yunjan-import-mdb"
install -m 755 build/adddb/AddDB "$prog/AddDB"
build/tools/yunjan-initdb "$prog"

cd "$prog"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the program under Xvfb."
    exec xvfb-run -a ./yunjan
fi
exec ./yunjan
