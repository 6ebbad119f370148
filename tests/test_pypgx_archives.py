"""PyPGx's results archives (*-results.zip) read directly: the gene from metadata.txt, the rows
from data.tsv; every other archive refused with its name."""

import json
import logging
import zipfile

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import PgxReaderFactory, PyPgxTableReader
from conftest import FIXTURES

RESULTS = "Gene=CYP2D6\nAssembly=GRCh37\nSemanticType=SampleTable[Results]\n"


def archive(tmp_path, members, name="grch37-CYP2D6-results.zip", method=zipfile.ZIP_DEFLATED):
    path = tmp_path / name
    with zipfile.ZipFile(path, "w", method) as package:
        for member, data in members.items():
            package.writestr(member, data)
    return path


def results_archive(tmp_path, **kwargs):
    table = (FIXTURES / "CYP2D6.tsv").read_text()
    return archive(tmp_path, {"tmp4cke_ayk/metadata.txt": RESULTS, "tmp4cke_ayk/data.tsv": table},
                   **kwargs)


def rows(calls):
    return [(c.gene, c.diplotype, c.phenotypes, c.haplotypes) for c in calls]


class TestResults:
    def test_read_as_its_table(self, tmp_path):
        path = results_archive(tmp_path, name="pypgx.zip")  # the name holds no gene
        assert type(PgxReaderFactory.get_parser(str(path))) is PyPgxTableReader
        assert rows(PyPgxTableReader(str(path)).parse()) == rows(
            PyPgxTableReader(str(FIXTURES / "CYP2D6.tsv")).parse())

    def test_one_sample_and_the_assembly_in_the_sidecar(self, tmp_path):
        path = results_archive(tmp_path)
        OrvellePgxParser({"input_files": [str(path)], "output_dir": str(tmp_path / "out"),
                          "sample": "S02"}).run()
        [gene] = json.loads((tmp_path / "out" / "orvelle_pgx.json").read_text())
        assert (gene["Id"], gene["StarAllele"]) == ("CYP2D6", "*2x2/*71")
        sidecar = json.loads((tmp_path / "out" / "orvelle_pgx.provenance.json").read_text())
        assert sidecar["callers"] == {"pypgxAssembly": "GRCh37"}

    def test_a_folder_scan_reads_the_results_and_passes_over_the_other_archives(
            self, tmp_path, caplog):
        # a PyPGx pipeline's output folder: results.zip beside the archives of its steps
        folder = tmp_path / "in"
        folder.mkdir()
        results_archive(folder, name="results.zip")
        archive(folder, {"tmp1/metadata.txt": RESULTS.replace("Results", "Genotypes"),
                         "tmp1/data.tsv": "\tGenotype\nS01_PyPGx\t*4/*5\n"}, name="genotypes.zip")
        caplog.set_level(logging.INFO, logger="OrvellePgxParser")
        [gene] = OrvellePgxParser({"input_dir": str(folder)}).parse_files()
        assert (gene.gene, gene.star_allele) == ("CYP2D6", "*4/*5")
        assert f"Leaving out {folder}/genotypes.zip: a PyPGx SampleTable[Genotypes] archive, " \
               "which holds no calls (its results archive does)" in [
                   r.getMessage() for r in caplog.records]
        # named, it is refused
        with pytest.raises(ValueError, match=r"genotypes.zip: not a recognised caller output"):
            OrvellePgxParser({"input_files": [str(folder / "genotypes.zip")]}).parse_files()

    def test_published_archives_read_as_their_tables(self, shared_samples):
        folder = shared_samples / "pypgx"
        for year in ("2021", "2022"):
            archived = PyPgxTableReader(str(folder / f"grch37-CYP2D6-results.{year}.zip")).parse()
            table = PyPgxTableReader(str(folder / f"CYP2D6.{year}.tsv")).parse()
            assert len(archived) == 70 and rows(archived) == rows(table)
        [call] = PyPgxTableReader(str(folder / "cyp2d6_parser.pypgx.zip"), sample="0370856576"
                                  ).parse()
        assert (call.gene, call.diplotype, call.phenotypes) == (
            "CYP2D6", "*1/*36+*10", ["Normal Metabolizer"])


class TestRefused:
    @pytest.mark.parametrize("members, reason", [
        ({"x/data.tsv": "\tGenotype\tPhenotype\n"}, "expected a PyPGx results archive"),
        ({"x/metadata.txt": RESULTS}, "expected a PyPGx results archive"),
        ({"x/metadata.txt": RESULTS.replace("Results", "Genotypes"), "x/data.tsv": "\tGenotype\n"},
         r"this archive is a SampleTable\[Genotypes\]"),
        ({"x/metadata.txt": "Gene=CYP2D6\n", "x/data.tsv": "\tGenotype\tPhenotype\n"},
         "this archive is of no semantic type"),
        # data.tsv in another folder than the first member's is not this archive's table
        ({"x/metadata.txt": RESULTS, "y/data.tsv": "\tGenotype\tPhenotype\nS1\t*1/*1\tNM\n"},
         "expected a PyPGx results archive"),
    ])
    def test_not_a_results_archive(self, tmp_path, members, reason):
        path = archive(tmp_path, members)
        with pytest.raises(ValueError, match=f"^{path}: not a recognised caller output .*{reason}"):
            PyPgxTableReader(str(path)).parse()

    def test_a_gene_that_is_not_known(self, tmp_path):
        table = "\tGenotype\tPhenotype\nS1\t*1/*1\tNM\n"
        path = archive(tmp_path, {"x/metadata.txt": RESULTS.replace("CYP2D6", "HG00276"),
                                  "x/data.tsv": table})
        with pytest.raises(ValueError, match="not a recognised caller output"):
            PyPgxTableReader(str(path)).parse()

    def test_published_cnv_calls(self, shared_samples):
        path = shared_samples / "pypgx" / "refuse.GRCh37-CYP2D6-cnv-calls-test.zip"
        with pytest.raises(ValueError, match=r"this archive is a SampleTable\[CNVCalls\]\)$"):
            PyPgxTableReader(str(path)).parse()

    @pytest.mark.parametrize("content", [b"", b"PK\x03\x04 not really", b"\tGenotype\tPhenotype\n"])
    def test_not_a_zip(self, tmp_path, content):
        path = tmp_path / "CYP2D6-results.zip"
        path.write_bytes(content)
        with pytest.raises(ValueError, match=f"^{path}: not a zip archive$"):
            PyPgxTableReader(str(path)).parse()

    def test_a_corrupt_member(self, tmp_path):
        path = results_archive(tmp_path, method=zipfile.ZIP_STORED)
        data = path.read_bytes()
        at = data.index(b"S01_PyPGx")
        path.write_bytes(data[:at] + b"X" + data[at + 1:])  # the CRC no longer holds
        with pytest.raises(ValueError, match="a corrupt zip member$"):
            PyPgxTableReader(str(path)).parse()

    def test_a_decompression_bomb(self, tmp_path):
        path = archive(tmp_path, {"x/metadata.txt": RESULTS,
                                  "x/data.tsv": "\tGenotype\tPhenotype\n" + " " * (65 << 20)})
        assert path.stat().st_size < 200_000
        with pytest.raises(ValueError, match="inflates past 64 MiB, far more than any caller "
                                             "output; refused as a decompression bomb$"):
            PyPgxTableReader(str(path)).parse()
