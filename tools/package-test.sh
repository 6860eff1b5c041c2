#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it as a new user
# would meet it: its file list, its declared dependencies, its desktop entry
# and metainfo, and, unpacked into a folder of its own, that the demo maker
# sets up a demo database for a fresh home folder and that the program shows
# its window on it (under Xvfb) and ends with exit code 0 on SIGTERM.
#
#   tools/package-test.sh [build folder]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "package-test: FAIL: $*" >&2
  failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  echo "package-test: FAIL: cpack" >&2
  exit 1
}
deb=$(find "$work/out" -maxdepth 1 -name 'massamend_*.deb' | head -n1)
[[ -n $deb ]] || { echo "package-test: FAIL: no package made" >&2; exit 1; }
echo "package-test: made $(basename "$deb")"

# Exactly these files, nothing of the tests or the build.
expected=(
  ./usr/bin/massamend
  ./usr/bin/massamend-makedemodb
  ./usr/share/applications/org.massamend.MassAmend.desktop
  ./usr/share/metainfo/org.massamend.MassAmend.metainfo.xml
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/massamend.png")
done
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [[ $actual != "$wanted" ]]; then
  fail "file list differs (< in the package, > expected):"
  diff <(echo "$actual") <(echo "$wanted") >&2 || true
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "package-test: Depends: $depends"
for package in libqt6widgets6 libqt6gui6 libqt6core6 libfbclient2 firebird3.0-server-core \
  libsqlite3-0 fonts-arphic-uming; do
  if ! grep -Eq "(^|, )$package( |,|$)" <<<"$depends"; then
    fail "Depends does not name $package"
  fi
done

install_root=$work/root
dpkg-deb -x "$deb" "$install_root"
desktop-file-validate "$install_root/usr/share/applications/org.massamend.MassAmend.desktop" ||
  fail "desktop entry"
grep -qx 'Name\[zh_TW\]=商品資料批次異動' "$install_root/usr/share/applications/org.massamend.MassAmend.desktop" ||
  fail "desktop entry has no Traditional Chinese name"
appstreamcli validate --no-net --explain "$install_root/usr/share/metainfo/org.massamend.MassAmend.metainfo.xml" ||
  fail "metainfo"

# A new user: an empty home folder and nothing under the program's folder.
home=$work/home
mkdir -p "$home"
user_env=(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home")
"${user_env[@]}" "$install_root/usr/bin/massamend-makedemodb" --user-setup --products 200 \
  >"$work/setup.log" 2>&1 || { cat "$work/setup.log" >&2; fail "massamend-makedemodb --user-setup"; }
settings=$home/.config/MassAmend/SQLDriver.conf
database=$home/.local/share/MassAmend/DEMO.FDB
[[ -f $database ]] || fail "no demo database in the user's data folder"
grep -q "$home/.local/share/MassAmend/dbxconnections.ini" "$settings" 2>/dev/null ||
  fail "$settings does not name the user's connections file"
grep -q "$home/.local/share/MassAmend/dbxdrivers.ini" "$settings" 2>/dev/null ||
  fail "$settings does not name the user's drivers file"

# On a virtual X display, so that the window can be seen from outside: once
# it shows, the program is in its message loop, where SIGTERM closes it as its
# close button does. (A SIGTERM during start-up meets Firebird's own handler.)
window_check() { # program, home, log
  env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$2" QT_QPA_PLATFORM=xcb "$1" >"$3" 2>&1 &
  local pid=$! shown=false
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    if xwininfo -root -tree 2>/dev/null | grep -q '"商品資料批次異動"'; then
      shown=true
      break
    fi
    sleep 0.1
  done
  if ! $shown; then
    echo "package-test: FAIL: the installed program showed no window" >&2
    kill -KILL "$pid" 2>/dev/null || true
    return 1
  fi
  sleep 0.5
  kill -TERM "$pid"
  for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "package-test: FAIL: the installed program did not end on SIGTERM" >&2
    kill -KILL "$pid" 2>/dev/null || true
    return 1
  fi
  local status=0
  wait "$pid" || status=$?
  if ((status != 0)); then
    echo "package-test: FAIL: the installed program ended with exit code $status on SIGTERM" >&2
    return 1
  fi
  echo "package-test: the installed program showed its window on the demo database and ended cleanly"
}
if ! xvfb-run -a bash -c "$(declare -f window_check); window_check \"\$@\"" window_check \
  "$install_root/usr/bin/massamend" "$home" "$work/program.log"; then
  failures=$((failures + 1))
  echo "package-test: program output:" >&2
  cat "$work/program.log" >&2
fi
if ((failures > 0)); then
  echo "package-test: $failures check(s) failed"
  exit 1
fi
echo "package-test: all checks passed"
