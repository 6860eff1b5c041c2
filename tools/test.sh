#!/usr/bin/env bash
# Installs what the build needs, builds, starts a Firebird server on
# 127.0.0.1 for the tests labelled "server", then runs the stages below in
# order. A failing stage does not stop the later ones; the exit code is
# non-zero when any failed. A server started here is stopped at the end.
#
# Stages (run one alone with MASSAMEND_STAGES="suite package", say):
#   suite      every test, both labels, on the build in build/
#   package    the Debian package: its files, its dependencies, and the
#              installed program starting on a demo database
#   sanitizer  the whole project built again with AddressSanitizer and
#              UndefinedBehaviorSanitizer in build-sanitize/, every test run
#              again, any report fatal
#   fuzz       every libFuzzer target of tests/fuzz for a bounded time under
#              ASan and UBSan, in build-fuzz/ (tools/fuzz.sh)
# A new stage is a function named stage_<name> and a word in the list.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${MASSAMEND_BUILD_DIR:-$root/build}
sanitize_build=${MASSAMEND_SANITIZE_BUILD_DIR:-$root/build-sanitize}
stages=(${MASSAMEND_STAGES:-suite package sanitizer fuzz})
jobs=$(nproc)

run_suite() { # build folder, seconds per test, more ctest options
  local dir=$1 timeout=$2
  shift 2
  (cd "$dir" && ctest --output-on-failure --timeout "$timeout" -j"$jobs" "$@")
}

stage_suite() {
  run_suite "$build" 300
}

stage_package() {
  bash "$root/tools/package-test.sh" "$build"
}

stage_sanitizer() {
  local flags="-fsanitize=address,undefined -fno-omit-frame-pointer"
  flags+=" -fno-sanitize-recover=undefined"
  cmake -S "$root" -B "$sanitize_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" &&
    cmake --build "$sanitize_build" -j"$jobs" &&
    (
      # Leaks in Firebird's client library are its own (tests/lsan.supp
      # names it); any other leak fails the test that made it.
      export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
      export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
      export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
      # LeakSanitizer crashes ("Tracer caught signal 11") scanning the
      # thread-local storage of the embedded engine's plugins when they are
      # loaded at run time; loaded with the process, their storage is part of
      # its own. The sanitizer's runtime has to come first.
      local preload
      preload=$(g++ -print-file-name=libasan.so)
      for plugin in /usr/lib/x86_64-linux-gnu/firebird/3.0/plugins/libEngine12.so \
        /usr/lib/x86_64-linux-gnu/firebird/3.0/intl/libfbintl.so; do
        if [[ -f $plugin ]]; then preload+=":$plugin"; fi
      done
      export LD_PRELOAD=$preload
      run_suite "$sanitize_build" 900
    )
}

stage_fuzz() {
  bash "$root/tools/fuzz.sh"
}

bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$jobs"

# shellcheck source=tools/firebird-env.sh
source "$root/tools/firebird-env.sh"

# A server that already runs (another checkout's tests, say) is used and left
# running; one started here is stopped at the end.
if bash "$root/tools/fbserver.sh" running; then
  echo "test: using the Firebird server that already runs on 127.0.0.1:3050"
else
  bash "$root/tools/fbserver.sh" start
  trap 'bash "$root/tools/fbserver.sh" stop' EXIT
fi

failed=()
for stage in "${stages[@]}"; do
  echo "test: stage $stage"
  start=$SECONDS
  if "stage_$stage"; then
    echo "test: stage $stage passed in $((SECONDS - start)) s"
  else
    echo "test: stage $stage FAILED after $((SECONDS - start)) s"
    failed+=("$stage")
  fi
done
if ((${#failed[@]} > 0)); then
  echo "test: failed stages: ${failed[*]}"
  exit 1
fi
echo "test: all stages passed: ${stages[*]}"
