#!/usr/bin/env bash
# Installs what the tool needs, builds it, makes the demo database when there
# is none, and starts the tool on it (embedded Firebird, nothing to set up).
#
# The demo database is build/bin/DEMO.FDB, beside the program with its
# dbxconnections.ini and dbxdrivers.ini. Delete the three to start afresh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${MASSAMEND_BUILD_DIR:-$root/build}
bin=$build/bin

bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only what running takes; tools/test.sh builds the tests and benchmarks.
cmake --build "$build" -j"$(nproc)" --target massamend makedemodb

# shellcheck source=tools/firebird-env.sh
source "$root/tools/firebird-env.sh"

demo=$bin/DEMO.FDB
if [[ ! -f $demo ]]; then
  "$bin/makedemodb" --database "$demo" --with-demo-row --ini-dir "$bin"
elif [[ ! -f $bin/dbxconnections.ini || ! -f $bin/dbxdrivers.ini ]]; then
  echo "run: the settings files beside the program are missing: making the demo database again"
  "$bin/makedemodb" --database "$demo" --with-demo-row --ini-dir "$bin" --force
fi

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
  echo "run: no display to show the window on. Start $bin/massamend from a desktop session,"
  echo "     or try it headless with: xvfb-run -a $bin/massamend"
  exit 0
fi
exec "$bin/massamend"
