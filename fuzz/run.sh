#!/usr/bin/env bash
# fuzz/run.sh: builds every fuzz target (clang, sanitized) and runs each in turn for the given
# number of seconds, one at a time, from its seed corpus; reports executions per target.
#   bash fuzz/run.sh <seconds> [target ...]     (targets without the fuzz_ prefix; default all)
# The growing corpus, the logs and any crash, leak or timeout input stay under build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh <seconds> [target ...]}
shift

# The toolchain: clang with its fuzzer and sanitizer runtimes (Debian packages).
if ! command -v clang++-14 >/dev/null || [ ! -d /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang-14 libclang-rt-14-dev >/dev/null
fi

build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DORVELLE_BUILD_FUZZERS=ON >/dev/null
cmake --build "$build" >/dev/null

if [ $# -eq 0 ]; then
  set -- $(cd fuzz && ls fuzz_*.cpp | sed 's/^fuzz_//; s/\.cpp$//')
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
printf '%-18s %12s %10s  %s\n' target executions exec/s result
for target in "$@"; do
  corpus=$build/corpus/$target artifacts=$build/artifacts/$target/ log=$build/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  # The committed seeds join the working corpus; what the fuzzer adds stays out of the tree.
  [ -d "fuzz/corpus/$target" ] && cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  result=clean
  "$build/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$artifacts" \
    >"$log" 2>&1 || { result="FAILED (see $log)"; status=1; }
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  printf '%-18s %12s %10s  %s\n' "$target" "${runs:-?}" "${rate:-?}" "$result"
done
exit $status
