"""The reader factory: dispatch on the file name first, then on the content."""

import csv
import json
import logging
import tempfile
from pathlib import Path

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from OrvellePgxParser.Parsers import (
    DiplotypeSheetReader,
    PgxReaderFactory,
    PharmcatPhenotypeJsonParser,
    PharmcatReportJsonParser,
    PharmcatReportTsvReader,
    PyPgxTableReader,
    StarPhaseJsonReader,
    StarPhaseTsvReader,
)

get_parser = PgxReaderFactory.get_parser


def write(tmp_path, name, content="{}"):
    path = tmp_path / name
    path.parent.mkdir(parents=True, exist_ok=True)
    if isinstance(content, bytes):
        path.write_bytes(content)
    else:
        path.write_text(content if isinstance(content, str) else json.dumps(content))
    return str(path)


def debug_messages(records):
    return [r.getMessage() for r in records(logging.DEBUG) if r.levelno == logging.DEBUG]


class TestByName:
    @pytest.mark.parametrize("name, reader", [
        ("Sample1.PharmCAT.Report.JSON", PharmcatReportJsonParser),
        ("pharmcatreport.json", PharmcatReportJsonParser),
        ("s.pharmcat.phenotype.report.json", PharmcatReportJsonParser),
        ("s.pharmcat.phenotype.json", PharmcatPhenotypeJsonParser),
        ("s.starphase.json", StarPhaseJsonReader),
        ("sample.pbStarPhase.json", StarPhaseJsonReader),
    ])
    def test_names(self, tmp_path, name, reader):
        assert type(get_parser(write(tmp_path, name))) is reader

    def test_a_name_no_rule_claims_leaves_it_to_the_content(self, tmp_path):
        with pytest.raises(ValueError, match="s.pharmcat.json: not a recognised caller output "
                                             r"\(expected a PharmCAT report JSON"):
            get_parser(write(tmp_path, "s.pharmcat.json"))

    def test_the_name_beats_the_content(self, tmp_path):
        path = write(tmp_path, "table.csv", "\tGenotype\tPhenotype\nS1\t*1/*1\tNM\n")
        assert type(get_parser(path)) is DiplotypeSheetReader
        path = write(tmp_path, "x.starphase.json", {"geneReports": {}})
        assert type(get_parser(path)) is StarPhaseJsonReader

    @pytest.mark.parametrize("path", ["notes.vcf", "/in/report.html.gz", "/in.json/CYP2D6"])
    def test_unsupported_before_the_file_is_looked_for(self, path):
        with pytest.raises(ValueError, match="^Unsupported file type: " + path + "$"):
            get_parser(path)


class TestJsonContent:
    @pytest.mark.parametrize("document, reader", [
        ({"pharmcatVersion": None}, PharmcatReportJsonParser),
        ({"drugs": 1, "geneReports": 1}, PharmcatReportJsonParser),
        ({"geneReports": []}, PharmcatPhenotypeJsonParser),
        ({"gene_details": 0}, StarPhaseJsonReader),
        ({"pbstarphase_version": "2"}, StarPhaseJsonReader),
        ([{"gene": "A", "diplotype": "*1"}], DiplotypeSheetReader),
        ({"data": [{"Gene Symbol": "TPMT"}]}, DiplotypeSheetReader),
        ({"TPMT": "*1/*3A"}, DiplotypeSheetReader),
        ({"GeneReports": {}, "report": {"drugs": {}}}, None),
        ("gene_details", None),
        ([{"Sample": "S1", "Genotype": "*1/*4"}], None),  # no gene column
        ({"HG00436": {"Genotype": "*1/*4", "Filter": "PASS"}}, None),  # keyed by sample
        ({"genes": {"HG00436": "*1/*4"}}, None),
    ])
    def test_top_level_keys_and_shapes(self, tmp_path, document, reader):
        path = write(tmp_path, "runs/pharmcat/output.json", document)
        if reader is None:
            with pytest.raises(ValueError, match="output.json: not a recognised caller output "
                                                 r"\(expected .*; or a Gene/Diplotype table"):
                get_parser(path)
        else:
            assert type(get_parser(path)) is reader
        sniffed = PgxReaderFactory._sniff(path)
        assert (sniffed is None) if reader in (None, DiplotypeSheetReader) else (
            type(sniffed) is reader)

    @pytest.mark.parametrize("content", ['{"drugs": ', b'\xef\xbb\xbf{"drugs": {}}'])
    def test_unreadable_json_is_refused(self, tmp_path, warnings_log, content):
        path = write(tmp_path, "upload.json", content)
        with pytest.raises(ValueError, match="not a recognised caller output"):
            get_parser(path)
        [message] = debug_messages(warnings_log)
        assert message.startswith(f"Could not sniff {path}: ")

    def test_a_directory_named_like_a_table(self, tmp_path, warnings_log):
        (tmp_path / "d.json").mkdir()
        with pytest.raises(IsADirectoryError):
            get_parser(str(tmp_path / "d.json"))
        assert debug_messages(warnings_log) == [
            f"Could not sniff {tmp_path}/d.json: [Errno 21] Is a directory: '{tmp_path}/d.json'"]

    def test_missing_file(self, tmp_path, warnings_log):
        path = str(tmp_path / "absent.json")
        with pytest.raises(FileNotFoundError, match="^File not found: " + path + "$"):
            get_parser(path)
        assert len(debug_messages(warnings_log)) == 1

    def test_bad_bytes_are_not_absorbed(self, tmp_path):
        with pytest.raises(UnicodeDecodeError):
            get_parser(write(tmp_path, "upload.json", b'{"a": "\xff"}'))


class TestTsvContent:
    @pytest.mark.parametrize("content, reader", [
        ("Gene\t Genotype \tPhenotype\n", PyPgxTableReader),
        ('\ufeff"Genotype"\tPhenotype\n', PyPgxTableReader),
        ("\tGenotype\tHaplotype1\n", StarPhaseTsvReader),
        ("#gene\tdiplotype\n\tGenotype\tPhenotype\n", StarPhaseTsvReader),
        ("\nGenotype\tPhenotype\n", StarPhaseTsvReader),
        ("", StarPhaseTsvReader),
    ])
    def test_first_row(self, tmp_path, warnings_log, content, reader):
        path = write(tmp_path, "CYP2D6.TSV", content)
        assert type(get_parser(path)) is reader
        assert debug_messages(warnings_log) == []

    def test_unreadable_header(self, tmp_path, warnings_log):
        path = write(tmp_path, "big.tsv", "x" * 200_000 + "\tGenotype\tPhenotype\n")
        assert PgxReaderFactory._is_pypgx_tsv(path) is False
        [message] = debug_messages(warnings_log)
        assert message.startswith(f"Could not read the header of {path}: field larger than")

    def test_missing_file(self, tmp_path, warnings_log):
        path = str(tmp_path / "absent.tsv")
        with pytest.raises(FileNotFoundError, match="^File not found: "):
            get_parser(path)
        assert debug_messages(warnings_log) == [
            f"Could not read the header of {path}: [Errno 2] No such file or directory: '{path}'"]


class TestSamples:
    def test_published_outputs(self, shared_samples, tmp_path):
        for path in sorted((shared_samples / "pharmcat").glob("*.json")):
            if path.name.endswith((".match.json", ".messages.json")):
                with pytest.raises(ValueError, match=f"^{path}: "):
                    get_parser(str(path))
                continue
            expected = (PharmcatReportJsonParser if ".report." in path.name
                        else PharmcatPhenotypeJsonParser)
            if path.name.startswith("fixture."):  # no "pharmcat" in the name: sniffed
                expected = PharmcatPhenotypeJsonParser
            assert type(get_parser(str(path))) is expected, path.name
        for path in sorted((shared_samples / "pypgx").rglob("*.tsv")):
            assert type(get_parser(str(path))) is PyPgxTableReader
        for path in sorted((shared_samples / "pypgx").glob("*.zip")):
            assert type(get_parser(str(path))) is PyPgxTableReader  # which refuses the CNV calls
        for path in sorted((shared_samples / "pharmcat").glob("*.report.tsv")):
            assert type(get_parser(str(path))) is PharmcatReportTsvReader
        for path in sorted((shared_samples / "pharmcat").glob("*outside*.tsv")):
            assert type(get_parser(str(path))) is StarPhaseTsvReader

    def test_never_instantiated(self):
        with pytest.raises(TypeError):
            PgxReaderFactory()
        assert PgxReaderFactory.__doc__ == "Dispatch on file name first, then on content."


JSON_KEYS = ["gene_details", "diplotypes", "simple_diplotypes", "diplotype", "hap1", "database_metadata",
             "genes", "data", "gene", "Genotype", "CYP2D6", "geneReports", "sourceDiplotypes"]
JSON_VALUES = st.recursive(
    st.none() | st.booleans() | st.integers() | st.floats() | st.text(max_size=4),
    lambda inner: st.lists(inner, max_size=3) | st.dictionaries(st.sampled_from(JSON_KEYS), inner,
                                                                max_size=4),
    max_leaves=12)
TABLE_TEXT = st.text(alphabet='\t,;"\'#\r\n \ufeff\x00\xe9*/1AGgeno', max_size=200)


class TestBadInput:
    @settings(max_examples=300, deadline=None)
    @given(content=st.one_of(st.binary(max_size=200), TABLE_TEXT.map(str.encode),
                             JSON_VALUES.map(lambda v: json.dumps(v).encode())),
           name=st.sampled_from(["t.csv", "CYP2D6.tsv", "t.json", "t.starphase.json"]))
    def test_any_content_gives_calls_or_a_clear_error(self, content, name):
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / name
            path.write_bytes(content)
            try:
                reader = get_parser(str(path))
                assert isinstance(reader.parse(), list)
                if hasattr(reader, "read_versions"):
                    assert isinstance(reader.read_versions(), dict)
            except (ValueError, OSError, csv.Error):
                pass  # UnicodeDecodeError and JSONDecodeError are ValueErrors
