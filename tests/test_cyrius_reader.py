"""Cyrius's TSV and JSON: one CYP2D6 call per sample, its filters kept as gaps with Cyrius's own
words, one sample per result, and its place beside PharmCAT's report of the same sample."""

import json
import shutil

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.cohort import convert_cohort
from OrvellePgxParser.Parsers import CyriusReader, PgxReaderFactory

from conftest import FIXTURES
from driver_support import pharmcat_report

COHORT_TSV = FIXTURES / "specialists" / "cohort.cyrius.tsv"
COHORT_JSON = FIXTURES / "specialists" / "cohort.cyrius.json"


def results(request):
    return {r.gene: r for r in OrvellePgxParser(request).parse_files()}


def sample_call(path, sample):
    [call] = CyriusReader(str(path), sample=sample).parse()
    return call


class TestForms:
    def test_the_published_table_is_read_as_cyrius(self, shared_samples):
        path = shared_samples / "cyrius" / "cyp2d6_parser.cyrius.tsv"
        reader = PgxReaderFactory.get_parser(str(path))
        assert type(reader) is CyriusReader  # never the pbStarPhase gene/diplotype table
        [call] = reader.parse()
        assert (call.gene, call.diplotype, call.source, call.warnings) == (
            "CYP2D6", "*1/*4", "cyrius", [])

    @pytest.mark.parametrize("path", [COHORT_TSV, COHORT_JSON], ids=["tsv", "json"])
    def test_a_passed_genotype_is_the_call(self, path):
        assert type(PgxReaderFactory.get_parser(str(path))) is CyriusReader
        call = sample_call(path, "S1")
        assert (call.diplotype, call.warnings, call.phenotypes) == ("*2/*41", [], [])

    @pytest.mark.parametrize("sample, said, final", [
        ("S2", "Cyrius filter More_than_one_possible_genotype (genotype '*1/*46;*43/*45'): one of "
               "these diplotypes, which Cyrius cannot tell apart; none is used", True),
        ("S3", "Cyrius filter Not_assigned_to_haplotypes (genotype '*1_*2_*68'): the star alleles "
               "found, but not which of them share a chromosome; no diplotype is used", True),
        ("S4", "Cyrius filter LowQ_high_CN (genotype '*1x4/*2x2'): six or more gene copies, "
               "called with a looser copy-number model; not used as a call", False),
        ("S5", "Cyrius called no genotype (filter None)", False),
    ])
    def test_every_filter_but_pass_is_a_gap_in_cyrius_words(self, sample, said, final):
        call = sample_call(COHORT_TSV, sample)
        assert call.diplotype is None
        assert call.warnings == [said]
        # Candidates Cyrius cannot choose between are its answer; a failed call is no answer.
        assert call.ambiguous_phenotype is final

    def test_the_json_holds_the_same_forms_with_null_for_none(self):
        assert sample_call(COHORT_JSON, "S2").warnings == sample_call(COHORT_TSV, "S2").warnings
        assert sample_call(COHORT_JSON, "S5").warnings == ["Cyrius called no genotype (filter None)"]

    def test_a_json_of_another_shape_is_not_cyrius(self, tmp_path):
        other = tmp_path / "other.json"
        other.write_text(json.dumps({"S1": {"Genotype": "*1/*1", "Filter": "PASS"}}))
        with pytest.raises(ValueError, match="not a recognised caller output"):
            PgxReaderFactory.get_parser(str(other))  # keyed by sample, but not Cyrius's shape
        wrong = tmp_path / "wrong.cyrius.json"
        sample = json.loads(COHORT_JSON.read_text())["S1"]
        wrong.write_text(json.dumps({"S1": {**sample, "Genotype": 7}}))
        with pytest.raises(ValueError, match="S1 Genotype is not a text"):
            CyriusReader(str(wrong)).parse()


class TestOneSample:
    def test_the_cohort_table_gives_the_sample_the_report_names(self, tmp_path):
        report = pharmcat_report(tmp_path / "s.pharmcat.report.json",
                                 {"CYP2C19": ("*1/*1", ["Normal Metabolizer"])},
                                 matcherMetadata={"sampleId": "S6"})
        parser = OrvellePgxParser({"input_files": [str(report), str(COHORT_TSV)]})
        by_gene = {r.gene: r for r in parser.parse_files()}
        assert by_gene["CYP2D6"].star_allele == "*10x2/*36+*10"
        assert parser.named_sample == "S6"

    def test_alone_it_gives_its_first_sample_and_says_so(self):
        parser = OrvellePgxParser({"input_files": [str(COHORT_TSV)]})
        [result] = parser.parse_files()
        assert (result.star_allele, parser.named_sample) == ("*2/*41", "S1")
        assert "cohort.cyrius.tsv holds 6 samples; only sample 'S1' was read" in result.warnings

    def test_the_cohort_gives_each_sample_its_own_row(self, tmp_path):
        convert_cohort([("S6", [str(COHORT_TSV)]), ("S1", [str(COHORT_TSV)])], tmp_path)
        star = {s: [g["StarAllele"] for g in json.loads((tmp_path / f"{s}.json").read_text())]
                for s in ("S1", "S6")}
        assert star == {"S1": ["*2/*41"], "S6": ["*10x2/*36+*10"]}

    def test_a_sample_without_a_row_gets_no_call(self, tmp_path, warnings_log):
        shutil.copy(COHORT_JSON, tmp_path / "run.json")
        assert CyriusReader(str(tmp_path / "run.json"), sample="S9").parse() == []
        assert any("no row for sample" in r.msg for r in warnings_log())


class TestBesidePharmcat:
    """Cyrius outranks PharmCAT: its CYP2D6 stands, PharmCAT's same diplotype gives the Activity
    Cyrius never writes, and a gap Cyrius leaves for its own doubt is not filled."""

    def report(self, tmp_path, label):
        return pharmcat_report(tmp_path / "s.pharmcat.report.json",
                               {"CYP2D6": (label, ["Intermediate Metabolizer"])},
                               matcherMetadata={"sampleId": "S1"})

    def cyrius(self, tmp_path, genotype, filter_="PASS"):
        path = tmp_path / "run.tsv"
        path.write_text(f"Sample\tGenotype\tFilter\nS1\t{genotype}\t{filter_}\n")
        return path

    def test_the_same_diplotype_takes_pharmcat_activity(self, tmp_path):
        result = results({"input_files": [str(self.report(tmp_path, "*4/*1")),
                                          str(self.cyrius(tmp_path, "*1/*4"))]})["CYP2D6"]
        assert (result.source, result.star_allele, result.activity) == (
            "cyrius", "*1/*4", "Intermediate Metabolizer")

    def test_another_diplotype_stands_below_cyrius_and_is_named(self, tmp_path):
        result = results({"input_files": [str(self.report(tmp_path, "*1/*1")),
                                          str(self.cyrius(tmp_path, "*1/*5"))]})["CYP2D6"]
        assert (result.star_allele, result.activity) == ("*1/*5", None)
        assert ("no usable phenotype from cyrius; not taken from pharmcat_report, which called "
                "'*1/*1' instead of '*1/*5'" in result.warnings)

    def test_cyrius_doubt_is_not_filled_from_pharmcat(self, tmp_path):
        cyrius = self.cyrius(tmp_path, "*1/*46;*43/*45", "More_than_one_possible_genotype")
        result = results({"input_files": [str(self.report(tmp_path, "*1/*46")),
                                          str(cyrius)]})["CYP2D6"]
        assert (result.star_allele, result.activity) == (None, None)

    def test_beside_the_published_pharmcat_report_of_its_sample(self, shared_samples, tmp_path):
        report = shared_samples / "pharmcat" / "v3.1.1.pharmcat.example.report.json"
        cyrius = tmp_path / "run.tsv"
        cyrius.write_text("Sample\tGenotype\tFilter\nSample_2\t*2/*2\tPASS\n"
                          "Sample_1\t*1/*3\tPASS\n")
        parser = OrvellePgxParser({"input_files": [str(report), str(cyrius)]})
        by_gene = {r.gene: r for r in parser.parse_files()}
        assert parser.named_sample == "Sample_1"
        assert (by_gene["CYP2D6"].source, by_gene["CYP2D6"].star_allele,
                by_gene["CYP2D6"].activity) == ("cyrius", "*1/*3", "Intermediate Metabolizer")
        assert by_gene["CYP2C19"].source == "pharmcat_report"
