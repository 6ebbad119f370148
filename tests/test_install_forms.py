"""The package version in each way the package is installed: from a wheel into a virtual
environment, editable, into a folder with `pip install --target`, and not installed at all.
The wheel is built once for all of them; each check runs in an interpreter of its own."""

import json
import os
import shutil
import subprocess
import sys
import sysconfig
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[1]
# Under the sanitizer's preload (scripts/sanitize.sh) every build tool would run instrumented.
pytestmark = pytest.mark.skipif("libasan" in os.environ.get("LD_PRELOAD", ""),
                                reason="builds the package, which the sanitized run does not")
PIP = [sys.executable, "-m", "pip", "--disable-pip-version-check", "-q"]
# What a start-up reports: the driver's version and what importlib.metadata says.
PROBE = """
import json, importlib.metadata as metadata
from OrvellePgxParser.OrvellePgxParser import __version__
try:
    expected = metadata.version("OrvellePgxParser")
except metadata.PackageNotFoundError:
    expected = None
print(json.dumps([__version__, expected]))
"""


def run(command, **options):
    done = subprocess.run(command, capture_output=True, text=True, timeout=1200, **options)
    assert done.returncode == 0, done.stdout + done.stderr
    return done.stdout


def probe(python, *flags, **options):
    return json.loads(run([str(python), *flags, "-c", PROBE], **options))


def venv(folder):
    """A fresh virtual environment without pip of its own (this suite's pip installs there)."""
    run([sys.executable, "-m", "venv", "--without-pip", str(folder)])
    return folder / "bin" / "python"


def set_version(folder, version):
    """Marks the metadata installed in `folder`, to see that it, not another one, was read."""
    dist_info, = (info for info in folder.glob("*.dist-info")
                  if info.name.lower().startswith("orvellepgxparser-"))
    metadata = dist_info / "METADATA"
    lines = metadata.read_text(encoding="utf-8").split("\n")
    metadata.write_text("\n".join(f"Version: {version}" if line.startswith("Version:") else line
                                  for line in lines), encoding="utf-8")


@pytest.fixture(scope="session")
def wheel(tmp_path_factory):
    folder = tmp_path_factory.mktemp("wheel")
    run([*PIP, "wheel", "--no-deps", "--no-build-isolation", "-w", str(folder), str(REPO)])
    wheel, = folder.glob("*.whl")
    return wheel


def test_a_wheel_in_a_virtual_environment(wheel, tmp_path):
    python = venv(tmp_path / "env")
    run([*PIP, "--python", str(python), "install", "--no-deps", str(wheel)])
    version = wheel.name.split("-")[1]
    assert probe(python, cwd=tmp_path) == [version, version]
    command = tmp_path / "env" / "bin" / "orvelle-pgx-parser"
    assert run([str(command), "--version"]) == f"orvelle-pgx-parser {version}\n"


def test_a_target_folder_first_on_the_path_and_a_copy_without_metadata(wheel, tmp_path):
    target = tmp_path / "target"
    run([*PIP, "install", "--no-deps", "--target", str(target), str(wheel)])
    set_version(target, "7.0.1")
    # This suite's own installation comes later on the path: the target folder's wins.
    assert probe(sys.executable, cwd=tmp_path, env={"PYTHONPATH": str(target)}) == [
        "7.0.1", "7.0.1"]

    bare = tmp_path / "bare"
    shutil.copytree(target / "OrvellePgxParser", bare / "OrvellePgxParser")
    # -S: no site-packages, so no metadata of the package anywhere on the path.
    assert probe(sys.executable, "-S", cwd=tmp_path, env={"PYTHONPATH": str(bare)}) == [
        "0.0.0+unknown", None]


def test_an_editable_install_reads_its_metadata_and_finds_the_source_tables(wheel, tmp_path):
    python = venv(tmp_path / "env")
    site = Path(sysconfig.get_path("purelib", vars={"base": str(tmp_path / "env"),
                                                     "platbase": str(tmp_path / "env")}))
    # The build backend is this suite's, found after the environment's own packages.
    (site / "zz_build_backend.pth").write_text(sysconfig.get_path("purelib") + "\n")
    run([*PIP, "--python", str(python), "install", "--no-deps", "--no-build-isolation", "-e",
         str(REPO)])
    set_version(site, "8.0.2")
    assert probe(python, cwd=tmp_path) == ["8.0.2", "8.0.2"]
    tables = run([str(python), "-c", "from OrvellePgxParser.Parsers import AlleleCallHarmonizer; "
                  "print(sorted(AlleleCallHarmonizer().mapping_versions))"], cwd=tmp_path)
    assert tables == "['gene_rules', 'genotype_terms', 'phenotype_terms']\n"
