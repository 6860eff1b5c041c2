#!/usr/bin/env bash
# Installs what the build needs, builds, starts a Firebird server on
# 127.0.0.1 for the tests labelled "server", runs every test and stops the
# server again. Exits with the tests' result.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${MASSAMEND_BUILD_DIR:-$root/build}

bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

# shellcheck source=tools/firebird-env.sh
source "$root/tools/firebird-env.sh"

bash "$root/tools/fbserver.sh" start
trap 'bash "$root/tools/fbserver.sh" stop' EXIT

status=0
(cd "$build" && ctest --output-on-failure --timeout 300 -j"$(nproc)") || status=$?

# Fuzz stage: every libFuzzer target of tests/fuzz for a bounded time under
# ASan and UBSan, in a build folder of its own (tools/fuzz.sh).
bash "$root/tools/fuzz.sh" || status=1

exit "$status"
