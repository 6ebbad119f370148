"""A build on a machine without the system libraries fails with one line that says what to
install (scikit-build-core shows CMake's message as it is), not CMake's search report."""

import shutil
import subprocess
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[1]


@pytest.mark.skipif(shutil.which("cmake") is None, reason="needs cmake")
@pytest.mark.parametrize("package,line", [
    ("simdjson", "simdjson is missing: apt-get install libsimdjson-dev"),
    ("ZLIB", "zlib is missing: apt-get install zlib1g-dev"),
    ("PkgConfig", "minizip is missing: apt-get install libminizip-dev pkg-config"),
])
def test_a_missing_library_is_named_with_its_package(tmp_path, package, line):
    configured = subprocess.run(
        # Ninja, as every build here uses: a machine need not have make.
        ["cmake", "-S", str(REPO), "-B", str(tmp_path / "build"), "-G", "Ninja",
         f"-DCMAKE_DISABLE_FIND_PACKAGE_{package}=ON"],
        capture_output=True, text=True, timeout=120)
    assert configured.returncode != 0
    assert "  " + line in configured.stderr.splitlines()
    assert "Could not find" not in configured.stderr
