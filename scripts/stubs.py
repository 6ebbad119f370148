"""scripts/stubs.py: the typed stubs (.pyi) of the package's extension modules, made by
nanobind's stub generator from the installed modules with the additions in stubs.patterns.

    .venv/bin/python scripts/stubs.py [ROOT]

writes OrvellePgxParser/**/<module>.pyi under ROOT (default: python/, the committed stubs that
the package installs). Run it after changing what a binding exposes; tests/test_typing.py fails
while the committed stubs differ from what the built modules give.
"""

import importlib.machinery
import importlib.util
import subprocess
import sys
from pathlib import Path

PATTERNS = Path(__file__).resolve().with_name("stubs.patterns")


def extension_modules():
    """The dotted names of the installed package's extension modules, in path order."""
    package = Path(importlib.util.find_spec("OrvellePgxParser").origin).parent
    names = []
    for path in sorted(package.rglob("*")):
        suffix = next((s for s in importlib.machinery.EXTENSION_SUFFIXES
                       if path.name.endswith(s)), None)
        if suffix and not path.name.startswith("lib"):
            relative = path.relative_to(package.parent)
            names.append(".".join(relative.parent.parts + (path.name[:-len(suffix)],)))
    return names


def generate(root):
    """Writes the stub of every extension module under `root`; returns their paths."""
    written = []
    for module in extension_modules():
        target = Path(root, *module.split(".")).with_suffix(".pyi")
        target.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run([sys.executable, "-m", "nanobind.stubgen", "-q", "-p", str(PATTERNS),
                        "-m", module, "-o", str(target)], check=True)
        written.append(target)
    return written


if __name__ == "__main__":
    root = sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[1] / "python"
    for path in generate(root):
        print(path)
