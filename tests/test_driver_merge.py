"""The merge of all raw calls into one result per gene: rank, preference, fallback, recovery."""

import json

import pytest

from OrvellePgxParser.Models import RawCall
from OrvellePgxParser.OrvellePgxParser import _SOURCE_RANK, OrvellePgxParser

from driver_support import RULES, driver

REPORT, PHENOTYPE, STARPHASE, PYPGX, TABLE = (
    "pharmcat_report", "pharmcat_phenotype", "pbstarphase", "pypgx", "diplotype_table")


def call(gene="CYP2C19", source=REPORT, phenotype_source=None, diplotype="*1/*1",
         phenotypes=("Normal Metabolizer",)):
    return RawCall(gene=gene, diplotype=diplotype, phenotypes=list(phenotypes), source=source,
                   phenotype_source=phenotype_source)


def test_caller_ranks():
    # The specialists (Cyrius, StellarPGx, Aldy) rank above PharmCAT, as its outside calls do.
    assert _SOURCE_RANK == {"cyrius": 4, "stellarpgx": 4, "aldy": 4, REPORT: 3, PHENOTYPE: 2,
                            STARPHASE: 1, PYPGX: 1, TABLE: 0}


class TestOrder:
    def test_higher_rank_wins_over_a_preferred_source(self):
        results = driver()._merge([
            call(source=STARPHASE, diplotype="*2/*2"),
            call(source=REPORT, phenotype_source="DPWG", diplotype="*1/*1"),
        ])
        assert [r.source for r in results] == [REPORT]
        assert results[0].star_allele == "*1/*1"

    def test_preference_then_arrival_order_within_a_rank(self):
        parser = driver()
        dpwg = call(phenotype_source="DPWG", diplotype="*2/*2")
        cpic = call(phenotype_source="CPIC", diplotype="*1/*1")
        assert parser._merge([dpwg, cpic])[0].phenotype_source == "CPIC"
        first = call(source=STARPHASE, diplotype="*3/*1", phenotypes=[])
        second = call(source=PYPGX, diplotype="*1/*3", phenotypes=["Poor Metabolizer"])
        [merged] = parser._merge([first, second])
        assert (merged.source, merged.star_allele, merged.activity) == (
            STARPHASE, "*3/*1", "Poor Metabolizer")

    def test_requested_source_moves_to_the_front(self):
        parser = driver({"phenotype_source": " dpwg "})
        assert parser.phenotype_source == "DPWG"
        assert parser._source_preference() == ["DPWG", "CPIC"]
        merged = parser._merge([call(phenotype_source="CPIC"), call(phenotype_source="DPWG")])
        assert merged[0].phenotype_source == "DPWG"

    def test_unknown_caller_sorts_with_the_user_table(self):
        # Equal in rank, so their disagreement leaves the gene a gap.
        results = driver()._merge([call(source="elsewhere", diplotype="*9/*9"),
                                   call(source=TABLE, diplotype="*1/*1")])
        assert results[0].star_allele is None
        assert results[0].warnings == ["callers of equal rank disagree: elsewhere called '*9/*9', "
                                       "diplotype_table called '*1/*1'; none is used"]

    def test_results_in_code_point_order_and_case_sensitive_groups(self):
        calls = [call(gene=g) for g in ["cyp2d6", "CYP2D6", "CYP2C9", "CYP2C19"]]
        assert [r.gene for r in driver()._merge(calls)] == ["CYP2C19", "CYP2C9", "CYP2D6", "cyp2d6"]
        filtered = driver({"gene_filter": ["CYP2D6"]})._merge(calls)
        assert [r.gene for r in filtered] == ["CYP2D6"]

    def test_empty_gene_filter_means_no_restriction(self):
        assert len(driver({"gene_filter": []})._merge([call(gene="A"), call(gene="B")])) == 2


class TestFallback:
    def test_activity_taken_from_a_later_call_with_a_warning(self):
        results = driver()._merge([
            call(phenotype_source="DPWG", diplotype="*2/*2", phenotypes=["Poor Metabolizer"]),
            call(phenotype_source="CPIC", diplotype="*1/*1", phenotypes=["n/a"]),
        ])
        best = results[0]
        assert (best.star_allele, best.activity, best.phenotype_source) == (
            "*1/*1", "Poor Metabolizer", "DPWG")
        assert best.warnings[-1] == "no usable phenotype from CPIC; taken from DPWG"

    def test_no_fallback_without_the_rule(self):
        rules = {k: v for k, v in RULES.items() if k != "allow_source_fallback"}
        results = driver(rules=rules)._merge([
            call(phenotype_source="CPIC", phenotypes=[]),
            call(phenotype_source="DPWG", phenotypes=["Poor Metabolizer"]),
        ])
        assert results[0].activity is None

    def test_without_any_activity_the_first_call_stays_and_is_logged(self, warnings_log):
        results = driver()._merge([call(diplotype=None, phenotypes=[]),
                                   call(source=TABLE, diplotype=None, phenotypes=[])])
        assert results[0].source == REPORT
        assert not any(w.startswith("no usable phenotype") for w in results[0].warnings)
        assert any(r.msg == "%s produced neither diplotype nor phenotype" and r.args == ("CYP2C19",)
                   for r in warnings_log())


class TestFallbackKeepsToTheDiplotype:
    def test_activity_of_another_diplotype_is_not_taken(self):
        results = driver()._merge([
            call(diplotype="*1/*1", phenotypes=[]),
            call(source=TABLE, diplotype="*1/*3", phenotypes=["Poor Metabolizer"]),
        ])
        best = results[0]
        assert (best.star_allele, best.activity, best.phenotype_source) == ("*1/*1", None, None)
        assert best.warnings[-1] == ("no usable phenotype from pharmcat_report; not taken from "
                                     "diplotype_table, which called '*1/*3' instead of '*1/*1'")

    @pytest.mark.parametrize("later", ["*17/*1", " *1 / *17 "])
    def test_the_same_diplotype_in_either_order_agrees(self, later):
        results = driver()._merge([call(diplotype="*1/*17", phenotypes=[]),
                                   call(source=TABLE, diplotype=later)])
        assert results[0].activity == "Normal Metabolizer"
        assert results[0].warnings[-1] == (
            "no usable phenotype from pharmcat_report; taken from diplotype_table")

    def test_a_disagreeing_call_is_passed_over_for_a_later_one_that_agrees(self):
        results = driver()._merge([
            call(diplotype="*1/*2", phenotypes=[]),
            call(source=STARPHASE, diplotype="*2/*2", phenotypes=["Poor Metabolizer"]),
            call(source=TABLE, diplotype="*2/*1", phenotypes=["Normal Metabolizer"]),
        ])
        assert results[0].activity == "Normal Metabolizer"
        assert [w.split(";")[1] for w in results[0].warnings if ";" in w] == [
            " not taken from pbstarphase, which called '*2/*2' instead of '*1/*2'",
            " taken from diplotype_table"]

    @pytest.mark.parametrize("first, later", [(None, "*1/*3"), ("*1/*1", None), ("/", "*1/*3")])
    def test_without_a_star_allele_on_either_side_the_activity_is_taken(self, first, later):
        results = driver()._merge([call(diplotype=first, phenotypes=[]),
                                   call(source=TABLE, diplotype=later)])
        assert results[0].activity == "Normal Metabolizer"


class TestCandidates:
    def test_a_gap_left_by_differing_phenotypes_is_not_refilled(self):
        first = RawCall(gene="CYP2C9", diplotype="*1/*3", phenotypes=["Poor Metabolizer"],
                        source=REPORT, phenotype_source="CPIC", ambiguous_phenotype=True)
        [best] = driver()._merge([call(gene="CYP2C9", phenotype_source="DPWG"),
                                  call(gene="CYP2C9", source=PYPGX), first])
        assert (best.activity, best.phenotype_source) == (None, "CPIC")
        # The other guideline section is the same call; the lower-ranked caller is named.
        assert best.warnings == ["pypgx called '*1/*1'; not used, as pharmcat_report ranks higher"]

    def test_a_gap_left_by_a_caveat_is_not_refilled(self):
        first = RawCall(gene="TPMT", diplotype="*1/*3A", phenotypes=["Intermediate Metabolizer"],
                        source=REPORT, phenotype_source="CPIC", caveats=["TPMT *1/*3A warning"])
        later = call(gene="TPMT", diplotype="*1/*3A", source=PYPGX)
        rules = {**RULES, "uncertain_phenotype_caveats": ["TPMT *1/*3A warning"]}
        [best] = driver(rules=rules)._merge([later, first])
        assert (best.activity, best.source) == (None, REPORT)
        assert best.warnings == [
            "no Activity: 'TPMT *1/*3A warning' says the result may be another phenotype"]
        # the tables decide: a caveat they do not list leaves the phenotype to the merge
        assert driver()._merge([later, first])[0].activity == "Normal Metabolizer"

    def test_in_a_report_grouped_by_guideline(self, tmp_path):
        def entry(label, phenotype):
            return {"allele1": {"name": "*1"}, "allele2": {"name": label[3:]}, "label": label,
                    "phenotypes": [phenotype]}
        sections = {"CPIC": {"CYP2C9": [entry("*1/*3", "Intermediate Metabolizer"),
                                        entry("*1/*18", "Indeterminate")],
                             "UGT1A1": [entry("*1/*28", "Intermediate Metabolizer"),
                                        entry("*1/*80+*28", "Intermediate Metabolizer")]},
                    "DPWG": {"CYP2C9": [entry("*1/*3", "Intermediate Metabolizer")]}}
        path = tmp_path / "s.pharmcat.report.json"
        path.write_text(json.dumps({"genes": {
            section: {gene: {"geneSymbol": gene, "sourceDiplotypes": entries}
                      for gene, entries in genes.items()}
            for section, genes in sections.items()}}))
        cyp2c9, ugt1a1 = OrvellePgxParser({"input_files": [str(path)]}).parse_files()
        # the DPWG section of the same ambiguous result does not fill the gap
        assert (cyp2c9.star_allele, cyp2c9.activity, cyp2c9.phenotype_source) == (
            "*1/*3", None, "CPIC")
        assert cyp2c9.warnings == [
            "2 source diplotypes reported ('*1/*3': ['Intermediate Metabolizer'], '*1/*18': "
            "['Indeterminate']); using the first without an Activity, as their phenotypes differ"]
        assert (ugt1a1.star_allele, ugt1a1.activity) == ("*1/*28", "Intermediate Metabolizer")
        assert ugt1a1.warnings == [
            "2 source diplotypes reported ('*1/*28', '*1/*80+*28'); using the first"]


class TestRecovery:
    def test_gene_only_from_pbstarphase_kept_when_recoverable(self):
        results = driver()._merge([call(gene="CYP2B6", source=STARPHASE),
                                   call(gene="CYP3A4", source=STARPHASE),
                                   call(gene="CYP2C19", source=REPORT)])
        assert [r.gene for r in results] == ["CYP2B6", "CYP2C19"]
        assert results[0].warnings[-1] == (
            "recovered from pbStarPhase; PharmCAT reported no guideline")

    def test_recovery_switched_off(self, warnings_log):
        parser = driver({"recover_dropped_genes": False})
        assert parser._merge([call(gene="CYP2B6", source=STARPHASE)]) == []
        assert parser.dropped_genes == ["CYP2B6"]
        assert warnings_log()[-1].getMessage() == (
            "Dropped CYP2B6: only pbStarPhase reported it, and recovery is switched off")

    def test_without_pharmcat_nothing_is_dropped_nor_called_recovered(self):
        parser = driver()
        results = parser._merge([call(gene="CYP2D6", source=STARPHASE),
                                 call(gene="CYP2B6", source=STARPHASE),
                                 call(gene="NUDT15", source=TABLE)])
        assert [r.gene for r in results] == ["CYP2B6", "CYP2D6", "NUDT15"]
        assert not any("recovered" in w for r in results for w in r.warnings)
        assert parser.dropped_genes == []

    def test_with_pharmcat_each_dropped_gene_is_named(self, warnings_log):
        parser = driver()
        parser._merge([call(gene="DPYD", source=STARPHASE), call(gene="CYP2D6", source=STARPHASE),
                       call(gene="CYP2C19", source=PHENOTYPE)])
        assert parser.dropped_genes == ["CYP2D6", "DPYD"]
        assert [r.getMessage() for r in warnings_log()] == [
            f"Dropped {gene}: only pbStarPhase reported it, and PharmCAT, which has a guideline "
            "for it, did not" for gene in ["CYP2D6", "DPYD"]]
        parser._merge([call(gene="CYP2C19")])
        assert parser.dropped_genes == []  # each merge says what it dropped

    def test_gene_from_pbstarphase_and_another_caller_is_not_recovered(self):
        results = driver()._merge([call(gene="CYP3A4", source=STARPHASE),
                                   call(gene="CYP3A4", source=TABLE)])
        assert len(results) == 1
        assert not any("recovered" in w for w in results[0].warnings)


class TestPhenotypeSourceRequest:
    @pytest.mark.parametrize("requested", ["cpic", " Cpic ", "CPIC"])
    def test_resolves_to_the_rules_spelling(self, requested):
        assert driver()._resolve_phenotype_source(requested) == "CPIC"

    def test_unknown_source_warns_and_keeps_the_default_order(self, warnings_log):
        parser = driver()
        assert parser._resolve_phenotype_source("CPIC2") is None
        record = warnings_log()[-1]
        assert record.msg == "Unknown phenotype source %r; using the default order %s"
        assert record.args == ("CPIC2", "CPIC, DPWG")
        assert record.getMessage() == (
            "Unknown phenotype source 'CPIC2'; using the default order CPIC, DPWG")

    def test_an_empty_known_source_is_listed_too(self, warnings_log):
        parser = driver(rules={**RULES, "phenotype_source_preference": ["", "CPIC"]})
        assert parser._resolve_phenotype_source("X") is None
        assert warnings_log()[-1].args == ("X", ", CPIC")

    def test_without_known_sources_every_request_is_unknown(self, warnings_log):
        parser = driver(rules={})
        assert parser._resolve_phenotype_source("CPIC") is None
        assert warnings_log()[-1].getMessage().endswith("using the default order ")
        assert parser._source_preference() == []


class TestRulesOfTheWrongShape:
    @pytest.mark.parametrize("key", ["phenotype_source_preference", "recoverable_genes"])
    def test_a_rule_that_is_not_a_list_stops_the_merge_naming_it(self, key):
        parser = driver(rules={**RULES, key: "CPIC"})
        with pytest.raises(ValueError, match=f"^mapping table 'gene_rules': '{key}' must be a "
                                             "list, not 'CPIC'$"):
            parser._merge([call()])

    def test_a_passthrough_rule_that_is_not_a_list_stops_the_sidecar(self, tmp_path):
        parser = driver(rules={**RULES, "passthrough_sources": 1})
        with pytest.raises(ValueError, match="'passthrough_sources' must be a list, not 1$"):
            parser._write_provenance([], str(tmp_path / "out.json"))
        assert list(tmp_path.iterdir()) == []
