#!/usr/bin/env bash
# scripts/sanitize.sh: the C++ unit tests and the whole pytest suite against a core and
# extension modules built with AddressSanitizer and UndefinedBehaviorSanitizer, in a virtual
# environment of their own (.venv-asan). Any sanitizer report fails the run.
#   bash scripts/sanitize.sh [pytest arguments ...]
set -euo pipefail
cd "$(dirname "$0")/.."

export ASAN_OPTIONS=abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# The core alone, under its unit tests (leaks count here: the process is all ours).
cmake -S . -B build/asan-core -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVELLE_BUILD_TESTS=ON -DORVELLE_SANITIZE=ON >/dev/null
cmake --build build/asan-core
ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=1 ctest --test-dir build/asan-core --output-on-failure

# The package, built sanitized into its own environment and build folder.
[ -x .venv-asan/bin/python ] || python3 -m venv .venv-asan
# nanobind as pyproject.toml's build requirements pin it: its version decides the stubs' text.
.venv-asan/bin/python -m pip install -q scikit-build-core nanobind==3.1.0 pytest hypothesis
.venv-asan/bin/python -m pip install -q --no-build-isolation \
  --config-settings=build-dir=build/asan-{wheel_tag} \
  --config-settings=cmake.build-type=RelWithDebInfo \
  --config-settings=cmake.define.ORVELLE_SANITIZE=ON .

# The interpreter is not instrumented: the sanitizer runtime must be loaded before anything
# else, and the C++ runtime with it, or its interception of C++ throws finds nothing to call
# and aborts the first exception. The interpreter's own allocations at exit are not ours to
# count as leaks. PYTHONMALLOC=malloc lets the sanitizer see every Python object on its own.
preload="$(g++ -print-file-name=libasan.so) $(g++ -print-file-name=libstdc++.so)"
LD_PRELOAD="$preload" ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0 \
  PYTHONMALLOC=malloc .venv-asan/bin/python -m pytest -q -p no:cacheprovider "${@:-tests}"
