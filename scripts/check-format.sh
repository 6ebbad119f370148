#!/usr/bin/env bash
# scripts/check-format.sh: fails, naming each place, when a C++ file of the tree is not as
# clang-format (the version the test tools pin, in .venv) and .clang-format would write it.
# `scripts/check-format.sh --fix` rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

format=.venv/bin/clang-format
[ -x "$format" ] || { echo "no $format: run scripts/setup.sh first" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$format" -i "${files[@]}"
else
  "$format" --dry-run --Werror "${files[@]}"
fi
