"""Several callers for one gene, on their real shapes: disagreement is a gap (equal rank) or named
(lower rank), a no-call never hides another caller's call, pbStarPhase is read in its own core
form with its haplotype-level no-calls, and PyPGx's phasing caveat is kept."""

import json

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

from driver_support import pharmcat_report

PYPGX_HEADER = "\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\tAlternativePhase\tVariantData\tCNV\n"


def pypgx_table(path, genotype, phenotype, alternative=";"):
    path.write_text(PYPGX_HEADER + f"S1_PyPGx\t{genotype}\t{phenotype}\t*1;\t*4;\t{alternative}\t"
                                   "*1:default;\t\n")
    return path


def starphase_json(path, genes):
    """pbStarPhase's JSON as its writer lays it out: {gene: (diplotypes, simple_diplotypes)}."""
    def entries(labels):
        return None if labels is None else [
            {"hap1": label.split("/")[0], "hap2": label.split("/")[1], "diplotype": label}
            for label in labels]
    details = {gene: {"diplotypes": entries(detail), "simple_diplotypes": entries(core),
                      "inexact_diplotypes": None, "variant_details": None,
                      "mapping_details": None, "multi_mapping_details": None}
               for gene, (detail, core) in genes.items()}
    path.write_text(json.dumps({"pbstarphase_version": "2.0.1-53a3166",
                                "database_metadata": {}, "gene_details": details}, indent=2))
    return path


def convert(*paths):
    return {r.gene: r for r in OrvellePgxParser({"input_files": [str(p) for p in paths]})
            .parse_files()}


def answer(result):
    return result.star_allele, result.activity


class TestDisagreement:
    @pytest.mark.parametrize("order", [0, 1])
    def test_equal_rank_callers_that_disagree_leave_a_gap(self, tmp_path, order):
        files = [pypgx_table(tmp_path / "CYP2D6.tsv", "*1/*4", "Intermediate Metabolizer"),
                 starphase_json(tmp_path / "s.pbstarphase.json",
                                {"CYP2D6": (["*4.001/*4.001"], ["*4/*4"])})]
        result = convert(*(files if order == 0 else files[::-1]))["CYP2D6"]
        assert answer(result) == (None, None)
        [said] = [w for w in result.warnings if w.startswith("callers of equal rank disagree")]
        assert "pypgx called '*1/*4'" in said and "pbstarphase called '*4/*4'" in said

    def test_a_lower_ranked_call_that_disagrees_is_named(self, tmp_path):
        report = pharmcat_report(tmp_path / "s.pharmcat.report.json",
                                 {"CYP2C19": ("*2/*2", ["Poor Metabolizer"])})
        starphase = starphase_json(tmp_path / "s.pbstarphase.json",
                                   {"CYP2C19": (["*1.001/*17.001"], ["*1/*17"])})
        result = convert(report, starphase)["CYP2C19"]
        assert answer(result) == ("*2/*2", "Poor Metabolizer")
        assert result.warnings == [
            "pbstarphase called '*1/*17'; not used, as pharmcat_report ranks higher"]

    def test_candidates_that_differ_are_no_call_another_caller_may_replace(self, tmp_path):
        starphase = starphase_json(tmp_path / "s.pbstarphase.json",
                                   {"CYP2B6": (["*1/*6.001", "*4.001/*9"], ["*1/*6", "*4/*9"])})
        table = pypgx_table(tmp_path / "CYP2B6.tsv", "*1/*6", "Intermediate Metabolizer")
        for files in ([starphase, table], [table, starphase]):
            result = convert(*files)["CYP2B6"]
            assert answer(result) == (None, None)


class TestNoCallNeverHidesACall:
    @pytest.fixture
    def sample_2(self, shared_samples, tmp_path):
        """PharmCAT run without outside calls: CYP2D6 and HLA-B are not called."""
        return shared_samples / "pharmcat" / "v3.1.1.pharmcat.example2.report.json"

    def test_pbstarphase_calls_fill_pharmcats_no_calls(self, sample_2, tmp_path):
        starphase = starphase_json(tmp_path / "s.pbstarphase.json", {
            "CYP2D6": (["*1.001/*4.001"], ["*1/*4"]),
            "HLA-B": (["*57:01:01:01/*07:02:01:01"], None)})
        results = convert(sample_2, starphase)
        assert results["CYP2D6"].star_allele == "*1/*4"
        assert results["CYP2D6"].source == "pbstarphase"
        assert "no star allele from pharmcat_report; taken from pbstarphase" in (
            results["CYP2D6"].warnings)
        assert results["HLA-B"].star_allele == "*57:01/*07:02"

    def test_a_star_allele_travels_with_its_activity(self, sample_2, tmp_path):
        table = pypgx_table(tmp_path / "CYP2D6.tsv", "*1/*4", "Intermediate Metabolizer")
        # Sample_2's report names its sample: the one-row table of another name gives nothing,
        # so the table is given the report's sample name here.
        table.write_text(table.read_text().replace("S1_PyPGx", "Sample_2_PyPGx"))
        result = convert(sample_2, table)["CYP2D6"]
        assert answer(result) == ("*1/*4", "Intermediate Metabolizer")
        assert result.source == "pypgx"


class TestStarPhaseCoreForm:
    def test_duplications_in_pbstarphases_own_core_form_agree_with_pypgx(self, tmp_path):
        starphase = starphase_json(tmp_path / "s.pbstarphase.json",
                                   {"CYP2D6": (["*1.001 + *1.002/*4.001"], ["*1x2/*4"])})
        table = pypgx_table(tmp_path / "CYP2D6.tsv", "*1x2/*4", "Intermediate Metabolizer")
        result = convert(starphase, table)["CYP2D6"]
        assert answer(result) == ("*1x2/*4", "Intermediate Metabolizer")

    def test_a_file_without_the_core_form_reads_as_before(self, tmp_path):
        starphase = starphase_json(tmp_path / "s.pbstarphase.json",
                                   {"CYP2C19": (["*1.001/*17.001"], None)})
        assert convert(starphase)["CYP2C19"].star_allele == "*1/*17"

    @pytest.mark.parametrize("diplotype, called", [
        ("*57:01:01:01/UNKNOWN", "*57:01:01:01"), ("UNKNOWN/*57:01:01:01", "*57:01:01:01"),
        ("*1/NO_MATCH", "*1"), ("NO_READS/*2", "*2"), ("Multiple/*4", "*4"),
        ("NO_REFERENCE_ALLELE/*3", "*3")])
    def test_half_a_no_call_is_no_call(self, tmp_path, diplotype, called):
        gene = "HLA-B" if ":" in diplotype else "CYP2C9"
        starphase = starphase_json(tmp_path / "s.pbstarphase.json", {gene: ([diplotype], None)})
        result = convert(starphase)[gene]
        assert answer(result) == (None, None)
        assert result.warnings == [f"no diplotype called: pbstarphase wrote '{diplotype}'; "
                                   f"only {called} was called"]

    def test_an_absent_drb_copy_is_a_result(self, tmp_path):
        starphase = starphase_json(tmp_path / "s.pbstarphase.json",
                                   {"HLA-DRB3": (["./*01:01:01"], None)})
        assert convert(starphase)["HLA-DRB3"].star_allele == "./*01:01"


class TestPyPgxPhasingCaveat:
    def test_alternative_phase_alleles_are_named(self, shared_samples, tmp_path):
        table = tmp_path / "CYP2D6.tsv"
        table.write_bytes((shared_samples / "pypgx" / "CYP2D6.2021.tsv").read_bytes())
        parser = OrvellePgxParser({"input_files": [str(table)], "sample": "NA12006"})
        [result] = parser.parse_files()
        assert answer(result) == ("*4/*41", "Intermediate Metabolizer")
        assert result.warnings == ["PyPGx's AlternativePhase lists *69: statistical phasing may "
                                   "have missed it, and with it another diplotype and phenotype"]


class TestHandMadeTables:
    @pytest.fixture
    def table(self, tmp_path):
        def write(*rows):
            path = tmp_path / "hand.diplotypes.csv"
            path.write_text("Gene,Diplotype,Phenotype\n" + "".join(f"{r}\n" for r in rows))
            return convert(path)
        return write

    @pytest.mark.parametrize("diplotype", ["*1/*2 or *1/*3", "*1/*2 OR *1/*3", "*1/*2;*1/*3",
                                           "*1/*2 | *1/*3"])
    def test_a_diplotype_offering_alternatives_is_a_gap(self, table, diplotype):
        result = table(f"CYP2C19,{diplotype},Intermediate Metabolizer")["CYP2C19"]
        assert answer(result) == (None, None)
        assert result.warnings == [f"no diplotype called: diplotype_table wrote '{diplotype}', "
                                   "which offers alternatives"]

    def test_a_trailing_separator_offers_no_alternative(self, table):
        result = table("CYP2C19,*1/*2;,Intermediate Metabolizer")["CYP2C19"]
        assert result.activity == "Intermediate Metabolizer"
        assert not any("alternatives" in w for w in result.warnings)

    def test_the_platforms_own_terms_are_taken_for_their_gene(self, table):
        results = table("G6PD,B/A-,G6PD Deficient", "HLA-B,*57:01/*07:02,HLA-B*57:01 positive",
                        "CFTR,ivacaftor responsive,Favorable Response",
                        "CYP2D6,*1/*4,HLA-B*57:01 positive")
        assert results["G6PD"].activity == "G6PD Deficient"
        assert results["HLA-B"].activity == "HLA-B*57:01 positive"
        assert results["CFTR"].activity == "Favorable Response"
        # Another gene's term is still no Activity for this one.
        assert results["CYP2D6"].activity is None

    def test_a_gene_in_another_case_is_its_symbol(self, table, tmp_path):
        report = pharmcat_report(tmp_path / "s.pharmcat.report.json",
                                 {"CYP2D6": ("*1/*4", ["Intermediate Metabolizer"])})
        sheet = tmp_path / "hand.diplotypes.csv"
        sheet.write_text("Gene,Diplotype,Phenotype\ncyp2d6,*1/*4,Intermediate Metabolizer\n")
        results = convert(report, sheet)
        assert list(results) == ["CYP2D6"]  # one record for the gene
        only_sheet = convert(sheet)["CYP2D6"]
        assert "gene 'cyp2d6' read as its symbol 'CYP2D6'" in only_sheet.warnings
