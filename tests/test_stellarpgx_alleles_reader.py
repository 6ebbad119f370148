"""StellarPGx's .alleles report: the Result as the call, its British "Metaboliser status"
through the phenotype table, every no-call and doubt of its CYP2D6 script kept in its words, and
the sample the file name gives."""

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import PgxReaderFactory, StellarPgxAllelesReader

from conftest import FIXTURES
from driver_support import pharmcat_report

HEAD = ("--------------------------------------------\n\n"
        "{gene} Star Allele Calling with StellarPGx\n\n"
        "--------------------------------------------\n\n")


def alleles(path, result, status=None, gene="CYP2D6", extra=""):
    """A current-layout report: one blank line between sections."""
    text = HEAD.format(gene=gene) + "Sample core variants:\n42126611~C>G~0/1\n\nResult:\n" + result
    text += "\n\n" + extra
    if status is not None:
        text += "Activity score:\n1.0\n\nMetaboliser status:\n" + status + "\n"
    path.write_text(text)
    return path


def convert(*paths, **request):
    parser = OrvellePgxParser({"input_files": [str(p) for p in paths], **request})
    return {r.gene: r for r in parser.parse_files()}, parser


class TestPublished:
    @pytest.mark.parametrize("name, star_allele", [
        ("cyp2d6_parser.stellarpgx.alleles", "*1/*4"),            # current layout
        ("docsnippet.README.SIM001_2d6.alleles.txt", "*17/*29"),  # older: two blank lines
    ])
    def test_both_layouts(self, shared_samples, tmp_path, name, star_allele):
        path = tmp_path / "HG1_cyp2d6.alleles"
        path.write_bytes((shared_samples / "stellarpgx" / name).read_bytes())
        by_gene, parser = convert(path)
        assert (by_gene["CYP2D6"].star_allele, by_gene["CYP2D6"].activity) == (
            star_allele, "Intermediate Metabolizer")
        assert (by_gene["CYP2D6"].source, parser.named_sample) == ("stellarpgx", "HG1")


class TestResults:
    @pytest.mark.parametrize("status, activity", [
        ("Poor metaboliser (PM)", "Poor Metabolizer"),
        ("Intermediate metaboliser (IM)", "Intermediate Metabolizer"),
        ("Normal metaboliser (NM)", "Normal Metabolizer"),
        ("Ultrarapid metaboliser (UM)", "Ultrarapid Metabolizer"),
        ("Indeterminate", "Indeterminate"),
    ])
    def test_each_metaboliser_status(self, tmp_path, status, activity):
        by_gene, _ = convert(alleles(tmp_path / "S_cyp2d6.alleles", "*1/*4", status))
        assert by_gene["CYP2D6"].activity == activity

    @pytest.mark.parametrize("result, extra, said", [
        ("No_call", "", "StellarPGx: 'No_call': no diplotype called"),
        ("Possible novel allele or suballele present: interpret with caution; experimental "
         "validation and expert review through PharmVar is recommended",
         "Likely background alleles:\n[*1/*31]\n\n",
         "StellarPGx: 'Possible novel allele or suballele present: interpret with caution; "
         "experimental validation and expert review through PharmVar is recommended': no "
         "diplotype called; its likely background alleles '[*1/*31]' are a guess, not a call"),
        ("*1/*2 or *1/*41", "",
         "StellarPGx: '*1/*2 or *1/*41': several diplotypes StellarPGx cannot tell apart; none is "
         "used"),
        # a diplotype printed beside a possible novel allele is its background guess, not a call
        ("*1/*31\nPossible novel allele or suballele present: interpret with caution", "",
         "StellarPGx: 'Possible novel allele or suballele present: interpret with caution': no "
         "diplotype called; its likely background alleles '*1/*31' are a guess, not a call"),
    ])
    def test_no_calls_and_alternatives_are_gaps_in_its_words(self, tmp_path, result, extra, said):
        path = alleles(tmp_path / "S_cyp2d6.alleles", result, "Indeterminate", extra=extra)
        [call] = StellarPgxAllelesReader(str(path)).parse()
        assert (call.diplotype, call.phenotypes, call.warnings) == (None, [], [said])
        by_gene, _ = convert(path)
        assert (by_gene["CYP2D6"].star_allele, by_gene["CYP2D6"].activity) == (None, None)

    def test_notes_travel_and_a_hybrid_withholds_the_activity(self, tmp_path):
        path = alleles(tmp_path / "S_cyp2d6.alleles", "*1/*2x2\tDuplication present",
                       "Ultrarapid metaboliser (UM)")
        result = convert(path)[0]["CYP2D6"]
        assert (result.star_allele, result.activity) == ("*1/*2x2", "Ultrarapid Metabolizer")
        assert "StellarPGx: 'Duplication present'" in result.warnings
        path = alleles(tmp_path / "S_cyp2d6.alleles",
                       "*1/*4\nPossible rare CYP2D6/2D7 hybrid present",
                       "Intermediate metaboliser (IM)")
        result = convert(path)[0]["CYP2D6"]
        assert (result.star_allele, result.activity) == ("*1/*4", None)
        assert ("StellarPGx: 'Possible rare CYP2D6/2D7 hybrid present': a hybrid gene may change "
                "the phenotype; no Activity is used" in result.warnings)

    def test_another_gene_has_no_status_and_its_gene_from_the_title(self, tmp_path):
        path = alleles(tmp_path / "S_cyp2c19.alleles", "*1/*17", gene="CYP2C19")
        result = convert(path)[0]["CYP2C19"]
        assert (result.star_allele, result.activity) == ("*1/*17", None)
        assert "no phenotype from stellarpgx" in result.warnings

    def test_a_file_without_the_title_or_a_result_is_refused(self, tmp_path):
        path = tmp_path / "x.alleles"
        path.write_text("Result:\n*1/*1\n")
        with pytest.raises(ValueError, match="not a StellarPGx .alleles report"):
            PgxReaderFactory.get_parser(str(path)).parse()


class TestSample:
    @pytest.mark.parametrize("name, sample", [
        ("HG00436_cyp2d6.alleles", "HG00436"), ("SIM001_2d6.alleles", "SIM001"),
        ("NA12878_rep_1_CYP2D6.alleles", "NA12878_rep_1"), ("report.alleles", None),
        ("S1_cyp2c19.alleles", None)])
    def test_the_file_name_names_the_sample(self, tmp_path, name, sample):
        _, parser = convert(alleles(tmp_path / name, "*1/*1", "Normal metaboliser (NM)"))
        assert parser.named_sample == sample

    def test_beside_a_pharmcat_report_of_another_sample_the_run_stops(self, tmp_path):
        report = pharmcat_report(tmp_path / "s.pharmcat.report.json",
                                 {"CYP2C19": ("*1/*1", ["Normal Metabolizer"])},
                                 matcherMetadata={"sampleId": "S2"})
        with pytest.raises(ValueError, match="inputs name more than one sample"):
            convert(report, FIXTURES / "specialists" / "S1_cyp2d6.alleles")
