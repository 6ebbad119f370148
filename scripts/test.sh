#!/usr/bin/env bash
# scripts/test.sh: the whole test suite: the C++ unit tests of the core (CTest), then the
# package's tests (pytest) against the package installed in .venv by scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/core-tests -G Ninja -DORVELLE_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=Release \
  -DPython_EXECUTABLE="$PWD/.venv/bin/python" >/dev/null
cmake --build build/core-tests
ctest --test-dir build/core-tests --output-on-failure

.venv/bin/python -m pytest -q "$@"
