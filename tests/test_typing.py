"""Typed stubs: the committed .pyi files are what the built modules give, the package installs
them with its py.typed marker, and mypy holds a program to the documented API."""

import importlib.util
import subprocess
import sys
from importlib.resources import files
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
COMMITTED = REPO / "python"


def stubs_module():
    spec = importlib.util.spec_from_file_location("stubs", REPO / "scripts" / "stubs.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def stub_texts(root: Path):
    return {p.relative_to(root).as_posix(): p.read_text() for p in root.rglob("*.pyi")}


def test_the_committed_stubs_are_what_the_modules_give(tmp_path):
    stubs_module().generate(tmp_path)
    generated = stub_texts(tmp_path)
    assert len(generated) == 18  # one per extension module
    # The Models package and its JsonDict module are Python; their stubs are written by hand.
    hand_written = {"OrvellePgxParser/Models/__init__.pyi", "OrvellePgxParser/Models/JsonDict.pyi"}
    committed = {name: text for name, text in stub_texts(COMMITTED).items()
                 if name not in hand_written}
    assert committed == generated, "run: .venv/bin/python scripts/stubs.py"
    installed = Path(str(files("OrvellePgxParser"))).parent
    assert {name: (installed / name).read_text() for name in generated} == generated
    assert (installed / "OrvellePgxParser" / "py.typed").is_file()


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
