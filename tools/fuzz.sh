#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of their own, and runs each
# from its seed corpus for a bounded time. Fails on the first finding; the
# input that caused it is left in the run folder (crash-*, leak-*, oom-*).
#   MASSAMEND_FUZZ_BUILD_DIR  build folder (build-fuzz)
#   MASSAMEND_FUZZ_SECONDS    seconds per target (60)
#   MASSAMEND_FUZZ_TARGETS    targets to run (all)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${MASSAMEND_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${MASSAMEND_FUZZ_SECONDS:-60}
targets=(${MASSAMEND_FUZZ_TARGETS:-inifile numerictext big5 fieldformat condition productselection})

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMASSAMEND_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for target in "${targets[@]}"; do
  run="$build/fuzz-runs/$target"
  rm -rf "$run"
  mkdir -p "$run/corpus"
  # New inputs go to a corpus of the run's own; the checked-in seeds stay.
  log="$run/fuzz.log"
  # A target's own libFuzzer flags, one line, in tests/fuzz/<target>/flags;
  # a -max_total_time there wins over the common one.
  flags=()
  if [[ -f $root/tests/fuzz/$target/flags ]]; then
    read -ra flags <"$root/tests/fuzz/$target/flags"
  fi
  if (cd "$run" && "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "${flags[@]}" corpus \
        "$root/tests/fuzz/$target/corpus" >"$log" 2>&1); then
    done=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | tail -n 1 || true)
    echo "fuzz: $target ok, ${done:-no summary}s"
  else
    echo "fuzz: $target FAILED, see $log"
    tail -n 40 "$log"
    status=1
  fi
done
exit "$status"
