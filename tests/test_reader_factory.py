"""The reader factory: dispatch on the file name first, then on the content."""

import json
import logging

import pytest

from OrvellePgxParser.Parsers import (
    DiplotypeSheetReader,
    PgxReaderFactory,
    PharmcatPhenotypeJsonParser,
    PharmcatReportJsonParser,
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
        ("s.pharmcat.json", DiplotypeSheetReader),
        ("CYP2D6.tsv.csv", DiplotypeSheetReader),
    ])
    def test_names(self, tmp_path, name, reader):
        assert type(get_parser(write(tmp_path, name))) is reader

    def test_the_name_beats_the_content(self, tmp_path):
        path = write(tmp_path, "table.csv", "\tGenotype\tPhenotype\nS1\t*1/*1\tNM\n")
        assert type(get_parser(path)) is DiplotypeSheetReader
        path = write(tmp_path, "x.starphase.json", {"geneReports": {}})
        assert type(get_parser(path)) is StarPhaseJsonReader

    @pytest.mark.parametrize("name", ["notes.txt", "report.json.gz", "CYP2D6", "pharmcat.JSONL"])
    def test_unsupported(self, tmp_path, name):
        path = write(tmp_path, name)
        with pytest.raises(ValueError, match="^Unsupported file type: " + path + "$"):
            get_parser(path)

    def test_unsupported_is_told_before_the_file_is_looked_for(self):
        with pytest.raises(ValueError, match="^Unsupported file type: notes.txt$"):
            get_parser("notes.txt")


class TestJsonContent:
    @pytest.mark.parametrize("document, reader", [
        ({"pharmcatVersion": None}, PharmcatReportJsonParser),
        ({"drugs": 1, "geneReports": 1}, PharmcatReportJsonParser),
        ({"geneReports": []}, PharmcatPhenotypeJsonParser),
        ({"gene_details": 0}, StarPhaseJsonReader),
        ({"pbstarphase_version": "2"}, StarPhaseJsonReader),
        ({"GeneReports": {}, "report": {"drugs": {}}}, DiplotypeSheetReader),
        ([{"gene": "A", "diplotype": "*1"}], DiplotypeSheetReader),
        ("gene_details", DiplotypeSheetReader),
    ])
    def test_top_level_keys(self, tmp_path, document, reader):
        path = write(tmp_path, "runs/pharmcat/output.json", document)
        assert type(get_parser(path)) is reader
        sniffed = PgxReaderFactory._sniff(path)
        assert (sniffed is None) if reader is DiplotypeSheetReader else type(sniffed) is reader

    @pytest.mark.parametrize("content", ['{"drugs": ', b'\xef\xbb\xbf{"drugs": {}}'])
    def test_unreadable_json_is_a_user_table(self, tmp_path, warnings_log, content):
        path = write(tmp_path, "upload.json", content)
        assert type(get_parser(path)) is DiplotypeSheetReader
        [message] = debug_messages(warnings_log)
        assert message.startswith(f"Could not sniff {path}: ")

    def test_a_directory_named_like_a_table(self, tmp_path, warnings_log):
        (tmp_path / "d.json").mkdir()
        reader = get_parser(str(tmp_path / "d.json"))
        assert type(reader) is DiplotypeSheetReader
        assert debug_messages(warnings_log) == [
            f"Could not sniff {tmp_path}/d.json: [Errno 21] Is a directory: '{tmp_path}/d.json'"]
        with pytest.raises(IsADirectoryError):
            reader.parse()

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
        ("CYP2D6\t*1/*4\n", StarPhaseTsvReader),
    ])
    def test_first_row(self, tmp_path, warnings_log, content, reader):
        path = write(tmp_path, "CYP2D6.TSV", content)
        assert type(get_parser(path)) is reader
        assert debug_messages(warnings_log) == []

    def test_empty_file(self, tmp_path, warnings_log):
        assert type(get_parser(write(tmp_path, "e.tsv", ""))) is StarPhaseTsvReader
        assert warnings_log(logging.DEBUG) == []

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
            expected = (PharmcatReportJsonParser if ".report." in path.name
                        else PharmcatPhenotypeJsonParser)
            if path.name.startswith("fixture."):  # no "pharmcat" in the name: sniffed
                expected = PharmcatPhenotypeJsonParser
            assert type(get_parser(str(path))) is expected, path.name
        for path in sorted((shared_samples / "pypgx").glob("*.tsv")):
            assert type(get_parser(str(path))) is PyPgxTableReader

    def test_never_instantiated(self):
        with pytest.raises(TypeError):
            PgxReaderFactory()
        assert PgxReaderFactory.__doc__ == "Dispatch on file name first, then on content."
