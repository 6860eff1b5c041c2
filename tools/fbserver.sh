#!/usr/bin/env bash
# Starts or stops the Firebird server that the tests labelled "server" use:
# /usr/sbin/firebird in the background, listening on 127.0.0.1:3050, with the
# SYSDBA password "masterkey" (or $MASSAMEND_FB_PASSWORD).
#
#   tools/fbserver.sh start|stop|running
#
# "running" succeeds when a server that this script started still runs, or
# when one on 127.0.0.1:3050 takes the tests' databases, whoever started it:
# a caller that finds one uses it and leaves it running.
set -euo pipefail

security_db=/var/lib/firebird/3.0/system/security3.fdb
password=${MASSAMEND_FB_PASSWORD:-masterkey}
pidfile=/tmp/massamend-fbserver.pid
logfile=/tmp/massamend-fbserver.log
# Where the tests put their server databases; the server may run as another
# user, so everybody may write here, as in /tmp.
test_folder=/tmp/massamend-server-tests

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi

port_answers() {
  (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null
}

our_server() {
  [[ -f $pidfile ]] && "${sudo[@]}" kill -0 "$(cat "$pidfile")" 2>/dev/null
}

wait_for() { # condition, seconds
  local tries=$(($2 * 10))
  while ((tries-- > 0)); do
    if "$1"; then return 0; fi
    sleep 0.1
  done
  return 1
}

port_closed() { ! port_answers; }

# A server that lets SYSDBA make and drop a database in the tests' folder.
server_accepts() {
  local probe="127.0.0.1:$test_folder/probe-$$.fdb"
  printf "CREATE DATABASE '%s' USER 'SYSDBA' PASSWORD '%s';\nDROP DATABASE;\n" \
    "$probe" "${password//\'/\'\'}" | isql-fb -q -b >/dev/null 2>&1
}

start() {
  if our_server; then
    echo "fbserver: already running (pid $(cat "$pidfile"))"
    return
  fi
  mkdir -p "$test_folder"
  chmod 1777 "$test_folder" 2>/dev/null || true
  if port_answers && server_accepts; then
    echo "fbserver: using the server that already runs on 127.0.0.1:3050"
    return
  fi
  # Installing the package may have started its own server, which holds the
  # security database and the port.
  if port_answers && [[ -x /etc/init.d/firebird3.0 ]]; then
    echo "fbserver: stopping the packaged Firebird service"
    "${sudo[@]}" /etc/init.d/firebird3.0 stop || true
    wait_for port_closed 15 || true
  fi
  if port_answers; then
    echo "fbserver: another program listens on 127.0.0.1:3050" >&2
    exit 1
  fi

  # The packaged password is random; set a known one while no server runs.
  echo "ALTER USER SYSDBA SET PASSWORD '${password//\'/\'\'}'; COMMIT;" |
    "${sudo[@]}" isql-fb -q -user SYSDBA "$security_db"

  local pid
  pid=$("${sudo[@]}" sh -c 'setsid /usr/sbin/firebird </dev/null >"$1" 2>&1 & echo $!' \
    sh "$logfile")
  echo "$pid" >"$pidfile"
  if ! wait_for port_answers 30; then
    echo "fbserver: the server does not answer on 127.0.0.1:3050" >&2
    cat "$logfile" >&2 || true
    stop
    exit 1
  fi
  echo "fbserver: running on 127.0.0.1:3050 (pid $pid)"
}

stop() {
  if ! [[ -f $pidfile ]]; then
    echo "fbserver: not started by this script"
    return
  fi
  local pid
  pid=$(cat "$pidfile")
  if "${sudo[@]}" kill -0 "$pid" 2>/dev/null; then
    "${sudo[@]}" kill -TERM "$pid"
    local tries=150
    while ((tries-- > 0)) && "${sudo[@]}" kill -0 "$pid" 2>/dev/null; do
      sleep 0.1
    done
    if "${sudo[@]}" kill -0 "$pid" 2>/dev/null; then
      "${sudo[@]}" kill -KILL "$pid"
    fi
  fi
  rm -f "$pidfile"
  echo "fbserver: stopped"
}

case ${1:-} in
start) start ;;
stop) stop ;;
running) our_server || { port_answers && server_accepts; } ;;
*)
  echo "usage: $0 start|stop|running" >&2
  exit 2
  ;;
esac
