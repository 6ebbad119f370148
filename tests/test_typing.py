"""Typed stubs: the build generates one per extension module and installs it beside the
module with the package's py.typed marker; the references in tests/stubs/ hold their text, so
a change in what a binding exposes shows in review, and mypy holds a program to the API."""

import importlib.util
import subprocess
import sys
from importlib.resources import files
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
REFERENCES = REPO / "tests" / "stubs"
REFRESH = ".venv/bin/python scripts/stubs.py"


def stubs_script():
    spec = importlib.util.spec_from_file_location("stubs", REPO / "scripts" / "stubs.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def references(root: Path):
    return {p.relative_to(root).as_posix().removesuffix(".ref"): p.read_text()
            for p in root.rglob("*.pyi.ref")}


def test_the_installed_stubs_are_the_references(tmp_path):
    installed = Path(str(files("OrvellePgxParser"))).parent
    # Python's extension modules (the shared libraries beside them, lib*.so, are none).
    extensions = {p.relative_to(installed).as_posix().split(".")[0] + ".pyi"
                  for p in (installed / "OrvellePgxParser").rglob("*.cpython-*.so")}
    assert len(extensions) > 10
    missing = sorted(name for name in extensions if not (installed / name).is_file())
    assert not missing, "the build installed no stub for these"
    generated = {name: (installed / name).read_text() for name in extensions}
    assert references(REFERENCES) == generated, f"after a binding change, run: {REFRESH}"
    # The Models package and its JsonDict module are Python; their stubs, written by hand, are
    # the only others the package installs, and the source tree holds no generated one.
    hand_written = {"OrvellePgxParser/Models/__init__.pyi", "OrvellePgxParser/Models/JsonDict.pyi"}
    shipped = {p.relative_to(installed).as_posix()
               for p in (installed / "OrvellePgxParser").rglob("*.pyi")}
    assert shipped == set(generated) | hand_written
    assert {p.relative_to(REPO / "python").as_posix()
            for p in (REPO / "python").rglob("*.pyi")} == hand_written
    assert (installed / "OrvellePgxParser" / "py.typed").is_file()

    # The refresh writes exactly what this compares, and drops a stub whose module is gone.
    stale = tmp_path / "stubs" / "OrvellePgxParser" / "Parsers" / "GoneReader.pyi.ref"
    stale.parent.mkdir(parents=True)
    stale.write_text("class GoneReader: ...\n")
    stubs_script().refresh(tmp_path / "stubs")
    assert references(tmp_path / "stubs") == generated


USES_THE_API = '''
from pathlib import Path

from OrvellePgxParser.Models import GeneOutcome, JsonDict, RawCall
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser, __version__
from OrvellePgxParser.Parsers import AlleleCallHarmonizer, PgxReaderFactory

parser = OrvellePgxParser({"input_files": [Path("s.pbstarphase.json")], "output_dir": "out",
                           "gene_filter": ["CYP2C19"], "phenotype_source": "CPIC"})
written: None = parser.run()
payload: list[JsonDict] = parser.run(return_list=True)
maybe: list[JsonDict] | None = parser.run(len(payload) > 1)
outcomes: list[GeneOutcome] = parser.parse_files()
first: JsonDict = outcomes[0].to_result()
warnings: list[str] = outcomes[0].warnings
activity: str | None = outcomes[0].activity
calls: list[RawCall] = PgxReaderFactory.get_parser("s.csv").parse()
gene: str = calls[0].gene
outcome: GeneOutcome = AlleleCallHarmonizer().normalize(RawCall(gene="CYP2D6"))
version: str = __version__
'''

MISUSES = '''
from OrvellePgxParser.Models import GeneOutcome, RawCall
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import PgxReaderFactory

OrvellePgxParser().run(return_list=True).upper()
PgxReaderFactory.get_parser(3)
RawCall("CYP2D6")
symbol: int = GeneOutcome("CYP2D6").gene
'''


def test_mypy_accepts_the_documented_api_and_rejects_misuse(tmp_path):
    (tmp_path / "uses_the_api.py").write_text(USES_THE_API)
    (tmp_path / "misuses.py").write_text(MISUSES)
    checked = subprocess.run(
        [sys.executable, "-m", "mypy", "--no-error-summary", "--cache-dir", str(tmp_path / "cache"),
         "uses_the_api.py", "misuses.py"],
        cwd=tmp_path, capture_output=True, text=True, timeout=300)
    flagged = sorted(line.split(": error:")[0] for line in checked.stdout.splitlines()
                     if ": error:" in line)
    assert flagged == ["misuses.py:6", "misuses.py:7", "misuses.py:8", "misuses.py:9"], checked.stdout
