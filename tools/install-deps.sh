#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running, testing and
# packaging need, and only those that are missing. Runs without questions
# (CI has no stdin).
set -euo pipefail

packages=(
  build-essential cmake qt6-base-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
  libsqlite3-dev sqlite3
  fonts-arphic-uming xvfb
  clang libclang-rt-14-dev
  file desktop-file-utils appstream x11-utils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done
if ((${#missing[@]} == 0)); then
  echo "install-deps: all packages are installed"
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi
# Noninteractive: firebird3.0-server would otherwise ask for a SYSDBA password;
# tools/fbserver.sh sets one of its own.
apt_get=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q
         -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold)
echo "install-deps: installing ${missing[*]}"
"${apt_get[@]}" update </dev/null
"${apt_get[@]}" install --no-install-recommends "${missing[@]}" </dev/null
