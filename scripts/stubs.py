"""scripts/stubs.py: refreshes the reference stubs in tests/stubs/ from the installed package.

The build generates the typed stub (.pyi) of every extension module with nanobind's stub
generator and the additions in bindings/stubs.patterns, and installs it beside the module;
tests/test_typing.py holds those installed stubs to the references. After changing what a
binding exposes, build and install the package, then run

    .venv/bin/python scripts/stubs.py

and review the change to tests/stubs/ with the binding's.
"""

import importlib.machinery
import importlib.util
import shutil
from pathlib import Path

REFERENCES = Path(__file__).resolve().parents[1] / "tests" / "stubs"


def installed_stubs():
    """The installed stub of each installed extension module, by path below site-packages."""
    package = Path(importlib.util.find_spec("OrvellePgxParser").origin).parent
    stubs = {}
    for path in sorted(package.rglob("*")):
        suffix = next((s for s in importlib.machinery.EXTENSION_SUFFIXES
                       if path.name.endswith(s)), None)
        if suffix and not path.name.startswith("lib"):  # not the shared libraries
            stub = path.with_name(path.name[:-len(suffix)] + ".pyi")
            if not stub.is_file():
                raise SystemExit(f"{path} has no stub beside it: was it built by this checkout?")
            stubs[stub.relative_to(package.parent)] = stub
    return stubs


def refresh(references=REFERENCES):
    """Makes `references` hold exactly the installed stubs; returns the files written."""
    stubs = installed_stubs()
    if references.exists():
        shutil.rmtree(references)
    for name, stub in stubs.items():
        target = references / f"{name}.ref"
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(stub, target)
    return [references / f"{name}.ref" for name in stubs]


if __name__ == "__main__":
    for path in refresh():
        print(path)
