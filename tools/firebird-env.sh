# Sourced by run.sh and test.sh. The embedded Firebird engine keeps its lock
# files in /tmp/firebird, which only root and the group firebird may write;
# anybody else gets a lock folder of their own.
if [[ -z ${FIREBIRD_LOCK:-} ]] && ! [[ -w /tmp/firebird && -x /tmp/firebird ]] &&
   [[ $(id -u) -ne 0 ]]; then
  export FIREBIRD_LOCK="${XDG_RUNTIME_DIR:-/tmp}/massamend-firebird-lock-$(id -u)"
  mkdir -p "$FIREBIRD_LOCK"
fi
