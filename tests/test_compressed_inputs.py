"""gzip-compressed inputs (pbStarPhase writes sample.pbstarphase.json.gz when its output name
ends in .gz): read as the file without .gz, found by the folder scan, and refused with the
file's name when the stream is bad or inflates like a decompression bomb."""

import gzip
import subprocess
import sys
from pathlib import Path

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import (PgxReaderFactory, PharmcatReportJsonParser,
                                      PyPgxTableReader, StarPhaseJsonReader)

EXAMPLE = Path(__file__).resolve().parents[1] / "examples" / "sample"


def compressed(source: Path, target: Path) -> Path:
    target.write_bytes(gzip.compress(source.read_bytes()))
    return target


def converted(folder: Path):
    """The result array and the caller versions of a run over a folder."""
    parser = OrvellePgxParser({"input_dir": str(folder)})
    return parser.run(return_list=True), parser.provenance


def test_the_example_sample_compressed_converts_as_it_does_plain(tmp_path):
    # Every format of the example: PharmCAT report and phenotype, pbStarPhase JSON, a PyPGx
    # table named after its gene (CYP3A5.tsv.gz is still CYP3A5) and a diplotype table.
    packed = tmp_path / "packed"
    packed.mkdir()
    for source in EXAMPLE.iterdir():
        compressed(source, packed / (source.name + ".gz"))
    assert converted(packed) == converted(EXAMPLE)


def test_a_real_pharmcat_report_compressed(shared_samples, tmp_path):
    report = shared_samples / "pharmcat" / "v3.1.1.pharmcat.example.report.json"
    packed = compressed(report, tmp_path / (report.name + ".GZ"))
    assert type(PgxReaderFactory.get_parser(packed)) is PharmcatReportJsonParser
    plain = OrvellePgxParser({"input_files": [str(report)]}).run(return_list=True)
    assert OrvellePgxParser({"input_files": [str(packed)]}).run(return_list=True) == plain


def test_name_rules_and_content_checks_see_the_uncompressed_file(tmp_path):
    starphase = compressed(EXAMPLE / "sample1.pbstarphase.json", tmp_path / "upload.json.gz")
    assert type(PgxReaderFactory.get_parser(starphase)) is StarPhaseJsonReader  # sniffed
    pypgx = compressed(EXAMPLE / "CYP3A5.tsv", tmp_path / "CYP3A5.tsv.gz")
    assert type(PgxReaderFactory.get_parser(pypgx)) is PyPgxTableReader  # its header read
    for name in ["notes.vcf.gz", "s.gz"]:
        (tmp_path / name).write_bytes(gzip.compress(b"{}"))
        with pytest.raises(ValueError, match=f"^Unsupported file type: {tmp_path / name}$"):
            PgxReaderFactory.get_parser(str(tmp_path / name))
    # a .txt is read only as a StellarPGx summary, looked for in what the stream holds
    (tmp_path / "notes.txt.gz").write_bytes(gzip.compress(b"{}"))
    with pytest.raises(ValueError, match="not a recognised caller output .expected a StellarPGx"):
        PgxReaderFactory.get_parser(str(tmp_path / "notes.txt.gz"))


def test_the_folder_scan_takes_compressed_inputs(tmp_path):
    for name in ["a.json.gz", "B.TSV.GZ", "c.csv.gz", "d.json", "notes.txt.gz", "e.gz"]:
        (tmp_path / name).write_bytes(b"")
    (tmp_path / "sub.json.gz").mkdir()
    parser = OrvellePgxParser({"input_dir": str(tmp_path)})
    assert parser._resolve_input_files() == [
        str(tmp_path / n) for n in ["B.TSV.GZ", "a.json.gz", "c.csv.gz", "d.json"]]


@pytest.fixture
def report_stream():
    return gzip.compress((EXAMPLE / "sample1.pharmcat.report.json").read_bytes())


@pytest.mark.parametrize("damage,reason", [
    (lambda data: data[: len(data) // 2], "truncated gzip stream"),
    (lambda data: data[:-8] + bytes(b ^ 0xFF for b in data[-8:]), "corrupt gzip stream"),
    (lambda data: gzip.decompress(data), "not a gzip file"),
])
def test_a_bad_stream_ends_the_run_naming_the_file(tmp_path, report_stream, damage, reason):
    bad = tmp_path / "s.pharmcat.report.json.gz"
    bad.write_bytes(damage(report_stream))
    with pytest.raises(ValueError, match=f"^{bad}: {reason}"):
        OrvellePgxParser({"input_files": [str(bad)], "output_dir": str(tmp_path)}).run()
    assert sorted(p.name for p in tmp_path.iterdir()) == [bad.name]  # nothing written


def test_a_decompression_bomb_is_refused_on_the_command_line(tmp_path):
    # 80 KB of gzip members that would inflate to 80 MiB of blanks.
    member = gzip.compress(b" " * (1 << 20), compresslevel=9)
    (tmp_path / "bomb.json.gz").write_bytes(member * 80)
    command = [sys.executable, "-m", "OrvellePgxParser", "--output-dir", "out", "bomb.json.gz"]
    done = subprocess.run(command, cwd=tmp_path, capture_output=True, text=True, timeout=60)
    assert done.returncode == 1
    assert done.stderr == ("orvelle-pgx-parser: error: bomb.json.gz: inflates past 64 MiB, far "
                           "more than any caller output; refused as a decompression bomb\n")
    assert not (tmp_path / "out").exists()
