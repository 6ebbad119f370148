#!/usr/bin/env bash
# scripts/check-lint.sh: fails, naming each place, where ruff (the version the test tools pin,
# in .venv) finds a fault in the Python files of the tree, by the rules in pyproject.toml.
set -euo pipefail
cd "$(dirname "$0")/.."

ruff=.venv/bin/ruff
[ -x "$ruff" ] || { echo "no $ruff: run scripts/setup.sh first" >&2; exit 1; }
"$ruff" check --quiet .
