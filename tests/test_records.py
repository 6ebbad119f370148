"""The raw call and the gene result record, and their passage between extension modules."""

import pytest

from OrvellePgxParser.Models import GeneOutcome, RawCall
from OrvellePgxParser.OrvellePgxConstants import OrvellePgxConstants as C


class TestRawCall:
    def test_named_fields_and_defaults(self):
        call = RawCall(gene="CYP2D6", diplotype="*1/*4", phenotypes=["Poor Metabolizer", None])
        assert call.gene == "CYP2D6"
        assert call.diplotype == "*1/*4"
        assert call.haplotypes == []
        assert call.phenotypes == ["Poor Metabolizer", None]
        assert call.source is None and call.phenotype_source is None
        assert call.activity_score is None

    def test_fields_are_named_only_and_immutable(self):
        with pytest.raises(TypeError):
            RawCall("CYP2D6")
        call = RawCall(gene="CYP2D6")
        with pytest.raises(AttributeError):
            call.gene = "CYP2C19"

    def test_equality_hash_and_text_form(self):
        assert RawCall(gene="A", source="x") == RawCall(gene="A", source="x")
        assert RawCall(gene="A") != RawCall(gene="B")
        # Equal records hash alike, so they can be collected in sets.
        assert len({RawCall(gene="A", haplotypes=["*1"]), RawCall(gene="A", haplotypes=["*1"]),
                    RawCall(gene="A", phenotypes=["*1"])}) == 2
        assert repr(RawCall(gene="A")).startswith("RawCall(gene='A', diplotype=None")

    def test_texts_with_lone_surrogates_cross_intact(self):
        assert RawCall(gene="A\udc80").gene == "A\udc80"

    def test_a_readers_warnings_come_first_on_the_result(self):
        from OrvellePgxParser.Parsers import AlleleCallHarmonizer
        call = RawCall(gene="CYP2C19", diplotype="*1/*1", phenotypes=["Normal Metabolizer"],
                       source=C.CALLER_PHARMCAT_REPORT, warnings=["two candidates", ""])
        assert call.warnings == ["two candidates", ""]
        assert call != RawCall(gene="CYP2C19", diplotype="*1/*1",
                               phenotypes=["Normal Metabolizer"], source=C.CALLER_PHARMCAT_REPORT)
        assert repr(call).endswith(", warnings=['two candidates', ''])")
        outcome = AlleleCallHarmonizer().normalize(call)
        assert outcome.warnings == ["two candidates"]
        assert outcome.activity == "Normal Metabolizer"

    @pytest.mark.parametrize("gene, diplotype, phenotype", [
        ("CYP2C9", "*1/*3", "Intermediate Metabolizer"),
        ("HLA-B", "*15:02/*57:01", "*57:01 positive"),
        ("IFNL3", "rs12979860 reference (C)/rs12979860 reference (C)", "n/a"),
    ])
    def test_an_ambiguous_phenotype_leaves_no_activity_on_any_path(self, gene, diplotype,
                                                                   phenotype):
        from OrvellePgxParser.Parsers import AlleleCallHarmonizer
        plain = RawCall(gene=gene, diplotype=diplotype, phenotypes=[phenotype],
                        source=C.CALLER_PHARMCAT_REPORT)
        call = RawCall(gene=gene, diplotype=diplotype, phenotypes=[phenotype],
                       source=C.CALLER_PHARMCAT_REPORT, ambiguous_phenotype=True)
        assert (plain.ambiguous_phenotype, call.ambiguous_phenotype) == (False, True)
        assert call != plain and repr(call).endswith(", ambiguous_phenotype=True)")
        assert AlleleCallHarmonizer().normalize(plain).activity is not None
        assert AlleleCallHarmonizer().normalize(call).activity is None
        with pytest.raises(TypeError, match="'ambiguous_phenotype' must be bool, not str"):
            RawCall(gene=gene, ambiguous_phenotype="yes")

    def test_only_the_caveats_the_gene_rules_list_withhold_the_activity(self):
        from OrvellePgxParser.Parsers import AlleleCallHarmonizer
        def normalized(*caveats):
            call = RawCall(gene="CYP3A5", diplotype="*1/*1", phenotypes=["Normal Metabolizer"],
                           source=C.CALLER_PHARMCAT_REPORT, caveats=list(caveats))
            return call, AlleleCallHarmonizer().normalize(call)
        call, outcome = normalized("reference-allele", "CYP3A5 *3 missing")
        assert call.caveats == ["reference-allele", "CYP3A5 *3 missing"]
        assert repr(call).endswith(", caveats=['reference-allele', 'CYP3A5 *3 missing'])")
        assert call != normalized()[0] and hash(call) != hash(normalized()[0])
        assert (outcome.star_allele, outcome.activity) == ("*1/*1", None)
        assert outcome.warnings == [
            "no Activity: 'CYP3A5 *3 missing' says the result may be another phenotype"]
        assert normalized("CYP2B6 *1/*6 warning")[1].activity == "Normal Metabolizer"
        with pytest.raises(TypeError, match="'caveats' must be a sequence of str, not int"):
            RawCall(gene="CYP3A5", caveats=1)


class TestGeneOutcome:
    def test_gene_alone(self):
        outcome = GeneOutcome("CYP2D6")
        assert outcome.to_result() == {
            "Id": "CYP2D6", "Name": "CYP2D6", "StarAllele": None, "Activity": None}
        assert list(outcome.to_result()) == [C.ID, C.NAME, C.STAR_ALLELE, C.ACTIVITY]
        assert outcome.to_provenance() == {
            "Id": "CYP2D6", "source": None, "phenotypeSource": None, "warnings": []}
        assert repr(outcome) == (
            "GeneOutcome(gene='CYP2D6', star_allele=None, activity=None, source=None)")

    @pytest.mark.parametrize("gene", ["", None])
    def test_gene_is_required(self, gene):
        with pytest.raises(ValueError, match="^gene symbol is required$"):
            GeneOutcome(gene)

    def test_missing_gene_is_the_hosts_argument_error(self):
        with pytest.raises(TypeError):
            GeneOutcome()

    def test_positional_and_keyword_arguments(self):
        by_position = GeneOutcome("A", "*1/*2", "Normal Metabolizer", "pypgx", "CPIC")
        by_name = GeneOutcome(gene="A", star_allele="*1/*2", activity="Normal Metabolizer",
                              source="pypgx", phenotype_source="CPIC")
        assert by_position.to_result() == by_name.to_result()
        assert by_position.to_provenance() == by_name.to_provenance()

    def test_warnings_unique_non_empty_in_order(self):
        outcome = GeneOutcome("A")
        for warning in ["b", "", None, "a", "b"]:
            outcome.add_warning(warning)
        assert outcome.warnings == ["b", "a"]
        assert outcome.to_provenance()["warnings"] == ["b", "a"]

    def test_fields_are_public_and_mutable(self):
        outcome = GeneOutcome("A")
        outcome.activity = "Poor Metabolizer"
        outcome.phenotype_source = "DPWG"
        outcome.activity = None
        assert outcome.to_result()["Activity"] is None
        assert outcome.to_provenance()["phenotypeSource"] == "DPWG"

