"""StellarPGx's cohort summary: one sample's CYP2D6 taken from it as from a Cyrius table, its
Activity only from another caller's call of the same diplotype, its gene from the file's name or
folder, and the .txt files beside it that are no summary left alone."""

import json
import logging
import shutil

import pytest

from OrvellePgxParser.cohort import convert_cohort
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import PgxReaderFactory, StellarPgxSummaryReader

from conftest import FIXTURES
from driver_support import pharmcat_report

SUMMARY = FIXTURES / "specialists" / "run1_cyp2d6_summary.txt"
PUBLISHED = "docsnippet.pharmcat-Calling-CYP2D6.summary.txt"


def convert(*paths, **request):
    parser = OrvellePgxParser({"input_files": [str(p) for p in paths], **request})
    return {r.gene: r for r in parser.parse_files()}, parser


def report(tmp_path, label, sample="S1"):
    return pharmcat_report(tmp_path / "s.pharmcat.report.json",
                           {"CYP2D6": (label, ["Intermediate Metabolizer"]),
                            "CYP2C19": ("*1/*1", ["Normal Metabolizer"])},
                           matcherMetadata={"sampleId": sample})


class TestPublished:
    @pytest.mark.parametrize("sample, star_allele", [
        ("HG00436", "*71/*2x2"), ("HG01086", None), ("HG01190", "*5/*68+*4"),
        ("NA18545", "*36+*10/*36+*10")])
    def test_each_sample_asked_for(self, shared_samples, sample, star_allele):
        by_gene, parser = convert(shared_samples / "stellarpgx" / PUBLISHED, sample=sample)
        result = by_gene["CYP2D6"]
        assert (result.source, result.star_allele, result.activity) == (
            "stellarpgx", star_allele, None)
        assert parser.named_sample == sample
        if star_allele is None:  # the bracketed guess beside a possible novel allele
            assert "its likely background alleles '[*1/*31]' are a guess" in result.warnings[0]
        else:
            assert "no phenotype from stellarpgx" in result.warnings


class TestOneSample:
    def test_the_sample_the_pharmcat_report_names_with_its_activity(self, tmp_path):
        by_gene, parser = convert(report(tmp_path, "*4/*1"), SUMMARY)
        assert (by_gene["CYP2D6"].source, by_gene["CYP2D6"].star_allele,
                by_gene["CYP2D6"].activity) == ("stellarpgx", "*1/*4", "Intermediate Metabolizer")
        assert by_gene["CYP2C19"].source == "pharmcat_report"
        assert parser.named_sample == "S1"

    def test_pharmcat_fills_no_gap_the_summary_leaves_for_its_own_doubt(self, tmp_path):
        for sample, diplotype in (("S3", "*1/*2"), ("S6", "*1/*4"), ("S8", "*2/*41")):
            by_gene, _ = convert(report(tmp_path, diplotype, sample), SUMMARY)
            assert by_gene["CYP2D6"].activity is None, sample

    def test_another_pharmcat_diplotype_stands_below_it_and_is_named(self, tmp_path):
        result = convert(report(tmp_path, "*1/*1", "S4"), SUMMARY)[0]["CYP2D6"]
        assert (result.star_allele, result.activity) == ("*1/*2x2", None)
        assert "StellarPGx: 'Duplication present'" in result.warnings
        assert any("not taken from pharmcat_report, which called '*1/*1'" in w
                   for w in result.warnings)

    def test_alone_it_gives_its_first_sample_and_says_so(self):
        by_gene, parser = convert(SUMMARY)
        assert (by_gene["CYP2D6"].star_allele, parser.named_sample) == ("*1/*4", "S1")
        assert ("run1_cyp2d6_summary.txt holds 9 samples; only sample 'S1' was read"
                in by_gene["CYP2D6"].warnings)

    def test_the_cohort_gives_each_sample_its_own_line(self, tmp_path):
        outcomes = convert_cohort([("S9", [str(SUMMARY)]), ("S4", [str(SUMMARY)]),
                                   ("S2", [str(SUMMARY)])], tmp_path)
        assert all(o.ok for o in outcomes)
        star = {s: json.loads((tmp_path / f"{s}.json").read_text())[0]["StarAllele"]
                for s in ("S9", "S4", "S2")}
        assert star == {"S9": "*10/*36+*10", "S4": "*1/*2x2", "S2": None}
        sidecar = json.loads((tmp_path / "S2.provenance.json").read_text())
        assert sidecar["sample"] == "S2"
        assert "StellarPGx: 'No_call': no diplotype called" in sidecar["genes"][0]["warnings"]


class TestFilesBesideIt:
    def folder(self, tmp_path, name="cyp2d6", summary="run1_summary.txt"):
        folder = tmp_path / name
        folder.mkdir()
        shutil.copy(SUMMARY, folder / summary)
        report(folder, "*1/*4")
        (folder / "README.txt").write_text("StellarPGx run of 2024-05-02\n\nsee alleles/\n")
        (folder / "notes.txt").write_bytes(b"\xff\xfe n\x00o\x00t\x00e\x00s\x00")
        return folder

    def test_a_folder_scan_reads_it_by_its_folder_and_passes_other_txt_over(self, tmp_path,
                                                                            caplog):
        caplog.set_level(logging.INFO, logger="OrvellePgxParser")
        folder = self.folder(tmp_path)
        by_gene, _ = convert(input_dir=str(folder))
        assert (by_gene["CYP2D6"].source, by_gene["CYP2D6"].activity) == (
            "stellarpgx", "Intermediate Metabolizer")
        left_out = [r.getMessage() for r in caplog.records if r.getMessage().startswith("Leaving")]
        assert left_out == [
            f"Leaving out {folder}/{name}: not a StellarPGx cohort summary, the only .txt file "
            "this converter reads" for name in ("README.txt", "notes.txt")]

    def test_a_named_txt_that_is_no_summary_is_refused_in_one_line(self, tmp_path):
        path = self.folder(tmp_path) / "README.txt"
        with pytest.raises(ValueError, match="not a recognised caller output") as caught:
            OrvellePgxParser({"input_files": [str(path)], "output_dir": str(tmp_path)}).run()
        assert "\n" not in str(caught.value) and str(path) in str(caught.value)

    def test_a_summary_that_names_no_gene_stops_the_run(self, tmp_path):
        folder = self.folder(tmp_path, name="run1")
        with pytest.raises(ValueError, match="name the summary's one gene in its file name"):
            OrvellePgxParser({"input_dir": str(folder), "output_dir": str(tmp_path)}).run()
        assert not (tmp_path / "orvelle_pgx.json").exists()

    def test_the_gene_of_its_name_and_as_tsv(self, tmp_path):
        for name in ("pharmcat-Calling-CYP2C19.summary.txt", "CYP2C19_summary.tsv"):
            path = tmp_path / name
            shutil.copy(SUMMARY, path)
            assert type(PgxReaderFactory.get_parser(str(path))) is StellarPgxSummaryReader
            assert StellarPgxSummaryReader(str(path)).gene() == "CYP2C19"
            [call] = StellarPgxSummaryReader(str(path), sample="S5").parse()
            assert (call.gene, call.diplotype) == ("CYP2C19", "*1/*5")

    def test_the_outside_call_file_is_still_read_as_such(self, tmp_path, shared_samples):
        path = tmp_path / "cyp2d6.outside.tsv"
        shutil.copy(shared_samples / "pharmcat" / "pharmcat.example.outsideCall.tsv", path)
        by_gene, _ = convert(path)
        assert (by_gene["CYP2D6"].source, by_gene["CYP2D6"].star_allele) == (
            "pbstarphase", "*1/*3")
        assert sorted(by_gene) == ["CYP2D6", "HLA-B", "MT-RNR1"]
