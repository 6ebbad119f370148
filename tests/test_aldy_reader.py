"""Aldy's .aldy output: the Major diplotype of its solution, several solutions that disagree kept
as a gap naming each, its per-gene cpic= words through the tables (a gap where no sound mapping
exists), and the sample of its Sample column."""

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import AldyReader, PgxReaderFactory

from conftest import FIXTURES
from driver_support import pharmcat_report

HEADER = ("#Sample\tGene\tSolutionID\tMajor\tMinor\tCopy\tAllele\tLocation\tType\tCoverage\t"
          "Effect\tdbSNP\tCode\tStatus\n")


def aldy(path, gene, solutions, sample="S1"):
    """Aldy 4.8's layout: per solution (major, alleles, cpic word or None), its #Solution line and
    one row of 13 fields per allele copy without variants."""
    text = HEADER
    for number, (major, listed, word) in enumerate(solutions, 1):
        tail = f"; gene={gene}-pharmvar-6.2.14 (2025-07-20)" + (f"; cpic={word}" if word else "")
        text += f"#Solution {number}: {listed}{tail}\n"
        text += f"{sample}\t{gene}\t{number}\t{major}\t\t0\t" + "\t" * 7 + "\n"
    path.write_text(text)
    return path


def convert(*paths):
    parser = OrvellePgxParser({"input_files": [str(p) for p in paths]})
    return {r.gene: r for r in parser.parse_files()}, parser


class TestPublished:
    def test_two_solutions_of_na10860_are_a_gap_naming_both(self, shared_samples):
        by_gene, parser = convert(shared_samples / "aldy" / "aldy-4.8.3.NA10860.CYP2D6.aldy")
        result = by_gene["CYP2D6"]
        assert (result.source, result.star_allele, parser.named_sample) == (
            "aldy", None, "NA10860")
        assert result.warnings[0] == ("Aldy found 2 equally good solutions: solution 1 "
                                      "'*1/*4.021+*4NX', solution 2 '*1/*4+*4.021X'; no star "
                                      "allele is used")
        assert result.activity == "Intermediate Metabolizer"  # both solutions say intermediate

    def test_older_outputs(self, shared_samples):
        [call] = AldyReader(str(shared_samples / "aldy" / "aldy-4.6.NA10860.CYP2D6.aldy")).parse()
        assert call.diplotype is None and call.phenotypes == []  # no cpic= before 4.8
        reader = PgxReaderFactory.get_parser(str(shared_samples / "aldy" / "cyp2d6_parser.aldy.tsv"))
        assert type(reader) is AldyReader
        [call] = reader.parse()
        assert call.diplotype == "*1/*4.021"
        assert call.warnings == ["Aldy solution 1 '*1.034, *(4.021 -rs28735595)': variants added "
                                 "to (+) or missing from (-) database alleles; on a major allele "
                                 "Aldy calls that a novel star allele"]

    def test_its_vcf_is_refused(self, shared_samples):
        with pytest.raises(ValueError, match="Unsupported file type"):
            PgxReaderFactory.get_parser(str(shared_samples / "aldy" / "aldy-4.8.3.NA10860.CYP2D6.vcf"))


class TestCalls:
    def test_one_solution_is_the_call(self):
        by_gene, parser = convert(FIXTURES / "specialists" / "S1.CYP2D6.aldy")
        assert (by_gene["CYP2D6"].star_allele, by_gene["CYP2D6"].activity) == (
            "*2/*41", "Normal Metabolizer")
        assert parser.named_sample == "S1"

    def test_solutions_of_different_words_leave_no_activity(self, tmp_path):
        path = aldy(tmp_path / "S1.CYP2D6.aldy", "CYP2D6",
                    [("*1/*4", "*1, *4", "intermediate"), ("*1/*1", "*1, *1", "normal")])
        [call] = AldyReader(str(path)).parse()
        assert (call.diplotype, call.phenotypes, call.ambiguous_phenotype) == (None, [], True)

    def test_its_own_allele_names_are_named(self, tmp_path):
        path = aldy(tmp_path / "S1.CYP2D6.aldy", "CYP2D6",
                    [("*1/*4+*4.021X", "*1, *4.001, *4.021X", "intermediate")])
        result = convert(path)[0]["CYP2D6"]
        assert (result.star_allele, result.activity) == ("*1/*4+*4.021X",
                                                         "Intermediate Metabolizer")
        assert ("Aldy's own allele names *4.021X: variants of database alleles, not PharmVar "
                "alleles" in result.warnings)

    @pytest.mark.parametrize("gene, word, activity", [
        ("CYP2D6", "ultrarapid", "Ultrarapid Metabolizer"),
        ("CYP2D6", "indeterminate", "Indeterminate"),
        ("DPYD", "poor", "Poor Metabolizer"),
        ("SLCO1B1", "ultrarapid", "Increased Function"),   # [increased, increased]
        ("SLCO1B1", "intermediate", "Decreased Function"),
        ("SLCO1B1", "poor", "Poor Function"),
        ("SLCO1B1", "normal", None),                        # also [increased, normal]
        ("CYP2C19", "intermediate", None),                  # no word for CPIC's "Likely"
        ("G6PD", "deficient", None),
    ])
    def test_cpic_words_are_mapped_per_gene(self, tmp_path, gene, word, activity):
        path = aldy(tmp_path / f"S1.{gene}.aldy", gene, [("*1/*5", "*1, *5", word)])
        result = convert(path)[0][gene]
        assert (result.star_allele, result.activity) == ("*1/*5", activity)
        if activity is None:
            assert f"unmapped phenotype term '{word}'" in result.warnings

    @pytest.mark.parametrize("text, message", [
        ("", "empty"), ("#Sample\tGene\tSolutionID\tMajor\tMinor\n", "no rows"),
        ("gene\tdiplotype\n", "not an Aldy table")])
    def test_what_is_refused(self, tmp_path, text, message):
        path = tmp_path / "run.aldy"
        path.write_text(text)
        with pytest.raises(ValueError, match=message):
            PgxReaderFactory.get_parser(str(path)).parse()

    def test_rows_of_two_samples_are_refused(self, tmp_path):
        path = aldy(tmp_path / "S1.CYP2D6.aldy", "CYP2D6", [("*1/*1", "*1, *1", "normal")])
        path.write_text(path.read_text() + "S2\tCYP2D6\t1\t*1/*1\t\t0\t" + "\t" * 7 + "\n")
        with pytest.raises(ValueError, match="rows of more than one sample"):
            AldyReader(str(path)).parse()


def test_beside_pharmcat_the_specialist_stands_and_pharmcat_is_named(tmp_path):
    report = pharmcat_report(tmp_path / "s.pharmcat.report.json",
                             {"CYP2D6": ("*1/*1", ["Normal Metabolizer"])},
                             matcherMetadata={"sampleId": "S1"})
    by_gene, parser = convert(report, FIXTURES / "specialists" / "S1.CYP2D6.aldy")
    assert (by_gene["CYP2D6"].source, by_gene["CYP2D6"].star_allele) == ("aldy", "*2/*41")
    assert ("pharmcat_report called '*1/*1'; not used, as aldy ranks higher"
            in by_gene["CYP2D6"].warnings)
    assert parser.named_sample == "S1"
