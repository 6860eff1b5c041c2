#!/usr/bin/env bash
# Makes the README's pictures again: the real windows on a fresh demo
# database (embedded Firebird, as run.sh makes it), under Xvfb.
#
#   tools/screenshots.sh [folder]      # default: docs/screenshots
#
# Builds the small program tools/screenshots.cpp, which drives the windows
# through their own controls and keys and saves one PNG per picture. The
# database, its settings files and Search.ini stay in a temporary folder:
# nothing beside the program or in ~/.config is touched.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${MASSAMEND_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$root/docs/screenshots}")

# What this script needs beyond tools/install-deps.sh: xvfb-run wants xauth.
needed=(xvfb xauth fonts-arphic-uming)
missing=()
for package in "${needed[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done
if ((${#missing[@]} > 0)); then
  sudo=()
  [[ $(id -u) -ne 0 ]] && sudo=(sudo)
  echo "screenshots: installing ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q install \
    --no-install-recommends "${missing[@]}" </dev/null
fi

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j"$(nproc)" --target screenshots makedemodb

# shellcheck source=tools/firebird-env.sh
source "$root/tools/firebird-env.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program reads its settings files, and writes Search.ini, beside itself:
# a copy of it lives in the temporary folder with the demo database.
cp "$build/bin/screenshots" "$work/"
"$build/bin/makedemodb" --database "$work/DEMO.FDB" --with-demo-row --ini-dir "$work" >/dev/null
mkdir -p "$work/config" "$out"

# Real fonts and the Fusion look on a virtual X screen; the same pictures on
# every machine with the same packages.
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion LANG=C.UTF-8 \
  xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$work/screenshots" "$out"
