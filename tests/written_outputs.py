"""The JSON Schemas the package ships (docs/schema/), and a check of every result and sidecar
a test left under a folder against them."""

import gzip
import json
from importlib.resources import files
from pathlib import Path

from jsonschema import Draft202012Validator

SCHEMA_NAMES = ("result.schema.json", "provenance.schema.json")
# Larger files are inputs (the scale and memory tests' reports), not outputs worth parsing.
LARGEST_OUTPUT = 16 << 20


def installed_schema(name):
    return json.loads((files("OrvellePgxParser") / "schema" / name).read_text(encoding="utf-8"))


RESULT = Draft202012Validator(installed_schema("result.schema.json"))
PROVENANCE = Draft202012Validator(installed_schema("provenance.schema.json"))


def _json_of(path: Path):
    """The JSON value of a plain or gzip file, or None when it holds no JSON."""
    if path.stat().st_size > LARGEST_OUTPUT:
        return None
    data = path.read_bytes()
    try:
        if data.startswith(b"\x1f\x8b"):
            data = gzip.decompress(data)
        return json.loads(data)
    except (OSError, EOFError, ValueError):
        return None


def _is_result(value):
    return isinstance(value, list) and all(isinstance(g, dict) and "Id" in g for g in value)


def schema_errors(root: Path):
    """'path: message' for every violation in the outputs under `root`: files named like a
    sidecar that hold a JSON object, and files that hold an array of objects with an "Id"."""
    errors = []
    for path in sorted(p for p in root.rglob("*") if p.is_file() and not p.is_symlink()):
        value = _json_of(path)
        if path.name.endswith(".provenance.json") and isinstance(value, dict):
            validator = PROVENANCE
        elif _is_result(value):
            validator = RESULT
        else:
            continue
        errors += [f"{path}: {error.message} at {error.json_path}"
                   for error in validator.iter_errors(value)]
    return errors
