"""The call normaliser, path by path, on small tables assigned from Python (independent of
the packaged content), and its host-exact pieces held against the host's own functions."""

import logging
import re

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from OrvellePgxParser.Models import GeneOutcome, RawCall
from OrvellePgxParser.OrvellePgxConstants import OrvellePgxConstants as C
from OrvellePgxParser.Parsers import AlleleCallHarmonizer
from OrvellePgxParser.Parsers.AlleleCallHarmonizer import _SUBALLELE

RULES = {
    "version": "rules-7",
    "passthrough_sources": ["pypgx", ""],
    "no_call_tokens": ["NA", "no call"],
    "genotype_guided_genes": ["G6PD", "HLA-GG"],
    "hla_genes": ["HLA-B", "HLA-GG"],
    "single_allele_genes": ["MT-RNR1"],
    "strip_suballele_suffix": True,
}
PHENOTYPE_TERMS = {
    "genes": {
        "CYP2D6": {"PM": "Poor Metabolizer", "IM": "CYP2D6 Intermediate", "UM": None},
        "HLA-B": {"positive": "Positive", "negative": "Negative"},
        "CYP2C9": [],  # counts as false: no entries of its own
    },
    "global": {"IM": "Intermediate Metabolizer", "UM": "Ultrarapid Metabolizer", "EMPTY": "",
               "Indeterminate": None},
}
GENOTYPE_TERMS = {
    "alleles": {"G6PD": {"B (wildtype)": "B", "Mediterranean": "Med", "Unknown": None}},
    "diplotype_activity": {"G6PD": {"B/B": "Normal", "B/Med": "Deficient", "Med/Med": None}},
}


def make_harmonizer(rules=RULES, phenotype_terms=PHENOTYPE_TERMS, genotype_terms=GENOTYPE_TERMS):
    # Built over empty tables, then given the test tables the way a user replaces them.
    h = AlleleCallHarmonizer._from_tables({}, {}, {})
    h.rules, h.phenotype_terms, h.genotype_terms = rules, phenotype_terms, genotype_terms
    return h


@pytest.fixture
def h():
    return make_harmonizer()


def run(h, gene, diplotype=None, phenotypes=(), source="pharmcat_report", phenotype_source="CPIC"):
    return h.normalize(RawCall(gene=gene, diplotype=diplotype, phenotypes=list(phenotypes),
                               source=source, phenotype_source=phenotype_source))


class TestPassthrough:
    def test_caller_terms_are_kept_untouched(self, h):
        out = run(h, "CYP2D6", "*4.001/*1", ["", "Poor Metabolizer"], source="pypgx",
                  phenotype_source=None)
        assert (out.star_allele, out.activity) == ("*4.001/*1", "")
        assert out.warnings == ["2 phenotypes reported; using the first"]
        assert (out.gene, out.source, out.phenotype_source) == ("CYP2D6", "pypgx", None)
        assert h.unmapped_terms == set()

    def test_no_call_test_no_lookup_and_absent_values_stay_absent(self, h):
        out = run(h, "HLA-B", " NA ", ["unmapped", "x", "y"], source="pypgx")
        assert (out.star_allele, out.activity) == (" NA ", "unmapped")
        assert out.warnings == ["3 phenotypes reported; using the first"]
        out = run(h, "G6PD", None, [], source="pypgx")
        assert (out.star_allele, out.activity, out.warnings) == (None, None, [])
        assert h.unmapped_terms == set()

    @pytest.mark.parametrize("source, expected", [
        (None, False), ("", False), ("pypgx", True), ("PyPGx", False), ("pharmcat_report", False)])
    def test_is_passthrough(self, h, source, expected):
        assert h.is_passthrough(source) is expected

    def test_passthrough_step_fills_and_returns_the_given_result(self, h):
        result = GeneOutcome("CYP2D6")
        call = RawCall(gene="CYP2D6", diplotype="*1/*2", phenotypes=[None, "x"])
        assert h._passthrough(call, result) is result
        assert (result.star_allele, result.activity) == ("*1/*2", None)
        assert result.warnings == ["2 phenotypes reported; using the first"]


class TestCallerRules:
    """A caller's own no-call and its placeholder phenotype (the shapes of PyPGx's data.tsv)."""

    CALLER_RULES = {"pypgx": {"no_call_diplotypes": ["Indeterminate"],
                              "placeholder_phenotypes": ["Indeterminate"],
                              "phenotyped_genes": ["CYP2D6", "CYP2C19"]}}

    @pytest.fixture
    def h(self):
        return make_harmonizer({**RULES, "caller_rules": self.CALLER_RULES})

    def test_the_callers_no_call_is_a_gap_for_both(self, h):
        out = run(h, "CYP2D6", " Indeterminate ", ["Indeterminate"], source="pypgx")
        assert (out.star_allele, out.activity) == (None, None)
        assert out.warnings == ["no diplotype called: pypgx wrote ' Indeterminate '"]

    def test_placeholder_of_a_gene_without_a_phenotype_method(self, h):
        out = run(h, "VKORC1", "Reference/rs9923231", ["Indeterminate"], source="pypgx")
        assert (out.star_allele, out.activity) == ("Reference/rs9923231", None)
        assert out.warnings == [
            "pypgx has no phenotype for VKORC1; 'Indeterminate' is its placeholder"]

    @pytest.mark.parametrize("gene, diplotype, phenotype", [
        ("CYP2D6", "*2x2/*71", "Indeterminate"),  # a called genotype whose phenotype is uncertain
        ("CYP2C19", "*1/*17", "Rapid Metabolizer"),
        ("VKORC1", "Reference/Reference", "Favorable Response"),  # not the placeholder
    ])
    def test_real_calls_pass_through_unchanged(self, h, gene, diplotype, phenotype):
        out = run(h, gene, diplotype, [phenotype], source="pypgx")
        assert (out.star_allele, out.activity, out.warnings) == (diplotype, phenotype, [])


class TestNoCall:
    @pytest.mark.parametrize("value, expected", [
        (None, True), ("NA", True), (" NA\n", True), ("na", False), ("", False),
        ("no call", True), ("no  call", False)])
    def test_is_no_call(self, h, value, expected):
        assert h.is_no_call(value) is expected

    def test_empty_text_is_a_no_call_only_when_listed(self, h):
        h.rules = {**RULES, "no_call_tokens": [""]}
        assert h.is_no_call("") and h.is_no_call("  ")
        assert not h.is_no_call("NA")

    @pytest.mark.parametrize("diplotype", [None, " NA "])
    def test_standard_and_genotype_guided_paths_warn(self, h, diplotype):
        for gene in ("CYP2D6", "G6PD"):
            out = run(h, gene, diplotype, ["PM"])
            assert out.star_allele is None
            assert out.warnings[0] == "no diplotype called"

    def test_hla_path_returns_absent_without_a_diplotype_warning(self, h):
        out = run(h, "HLA-B", "NA", ["positive"])
        assert (out.star_allele, out.activity, out.warnings) == (None, "Positive", [])

    def test_no_call_phenotypes_are_left_out(self, h):
        out = run(h, "CYP2D6", "*1/*1", [None, " NA", "PM"])
        assert (out.activity, out.warnings) == ("Poor Metabolizer", [])


class TestStandardStarAllele:
    @pytest.mark.parametrize("strip, diplotype, expected", [
        (True, " *1 / *4.001 ", "*1/*4"),
        (None, " *1 / *4.001 ", "*1/*4.001"),
        (0, "*1/*4.001", "*1/*4.001"),
        (True, "*4.001A/4.001/*4.x/*4", "*4.001A/4.001/*4.x/*4"),
        (True, "*1/", "*1"),
        (True, "*10.002/*36.001/*36", "*10/*36/*36"),
    ])
    def test_sub_allele_stripping(self, h, strip, diplotype, expected):
        h.rules = {**RULES, "strip_suballele_suffix": strip}
        out = run(h, "CYP2D6", diplotype, ["PM"])
        assert (out.star_allele, out.warnings) == (expected, [])

    @pytest.mark.parametrize("strip, diplotype, expected", [
        # pbStarPhase joins the gene copies of one chromosome with " + " and keeps sub-alleles
        (True, "*68 + *4.001/*4.001", "*68+*4/*4"),
        (True, "*68+*4.001/*4.001", "*68+*4/*4"),
        (True, "*1.001 + *10x2/*2.001", "*1+*10x2/*2"),
        (None, "*68 + *4.001/*4.001", "*68+*4.001/*4.001"),
        # other callers' tandems and HGVS names with a "+" stay as written
        (True, "*80+*28/*80+*37", "*80+*28/*80+*37"),
        (True, "c.1905+1G>A (*2A)/Reference", "c.1905+1G>A (*2A)/Reference"),
        (True, "*36+/*10", "*36+/*10"),
    ])
    def test_each_copy_of_a_tandem_is_stripped(self, h, strip, diplotype, expected):
        h.rules = {**RULES, "strip_suballele_suffix": strip}
        assert run(h, "CYP2D6", diplotype, ["PM"]).star_allele == expected

    @pytest.mark.parametrize("diplotype", ["/", " / ", "", "//"])
    def test_a_diplotype_without_alleles_is_unparsable(self, h, diplotype):
        out = run(h, "CYP2D6", diplotype, ["PM"])
        assert out.star_allele is None
        assert out.warnings == ["unparsable diplotype " + repr(diplotype)]
        assert out.activity == "Poor Metabolizer"  # the Activity is still computed

    def test_alleles_are_never_looked_up_nor_counted_unmapped(self, h):
        out = run(h, "CYP2D6", "*999/Unknown", ["PM"])
        assert out.star_allele == "*999/Unknown"
        assert h.unmapped_terms == set()

    def test_split(self, h):
        assert h._split(" *1 / *2 ") == ["*1", "*2"]
        assert h._split("*1/") == ["*1"]
        assert h._split("/") == []
        assert AlleleCallHarmonizer._split("\u3000*3\u2003/ *4\t") == ["*3", "*4"]


class TestSingleAlleleGenes:
    @pytest.mark.parametrize("diplotype, expected, warned", [
        ("*1/*1", "*1", False),
        ("*2/*1", None, True),
        ("*4.001/*4.002", "*4", False),
        ("m.1555A>G", "m.1555A>G", False),
        ("*2/*1/*2", None, True),
        ("Reference/m.1555A>G", None, True),  # not Reference: that would hide the variant
        ("m.1555A>G/m.1555A>G", "m.1555A>G", False),
    ])
    def test_equal_alleles_are_one_a_mixed_pair_is_a_gap(self, h, diplotype, expected, warned):
        out = run(h, "MT-RNR1", diplotype, ["PM"])
        assert out.star_allele == expected
        warning = "single-allele gene reported as a diplotype: " + repr(diplotype)
        assert (warning in out.warnings) is warned


class TestHla:
    @pytest.mark.parametrize("fields, diplotype, expected", [
        (None, "*02:01:01:01/*03:01:01", "*02:01/*03:01"),
        (None, "A*02:01:01", "A*02:01:01"),
        (3, "*02:01:01:01/*03:01", "*02:01:01/*03:01"),
        (0, "*02:01:01:01", "*02:01"),
        ("3", "*02:01:01:01", "*02:01:01"),
        (" 1 ", "**57:01:01", "*57"),
        (2.9, "*57:01:01", "*57:01"),
        (True, "*57:01:01", "*57"),
        ("0", "*57:01:01", "*"),
        (-1, "*57:01:01/*58", "*57:01/*"),
        (10**30, "*57:01:01", "*57:01:01"),
        (None, "*57:01.5/*58:01", "*57:01.5/*58:01"),  # no sub-allele stripping
    ])
    def test_alleles_keep_the_configured_fields(self, h, fields, diplotype, expected):
        h.rules = {**RULES, "hla_allele_fields": fields}
        assert h._hla_star_allele(RawCall(gene="HLA-B", diplotype=diplotype)) == expected

    def test_no_alleles_give_absent_without_warning(self, h):
        out = run(h, "HLA-B", "/", ["positive"])
        assert (out.star_allele, out.warnings) == (None, [])

    @pytest.mark.parametrize("separator, expected", [
        (None, "Positive; Negative; Positive"), (" | ", "Positive | Negative | Positive")])
    def test_every_mapped_phenotype_is_joined(self, h, separator, expected):
        h.rules = {**RULES, "hla_join_phenotypes_with": separator}
        out = run(h, "HLA-B", "*57:01/*58:01", ["positive", "negative", "NA", "positive"])
        assert (out.activity, out.warnings) == (expected, [])

    def test_an_unmapped_phenotype_leaves_the_others(self, h):
        out = run(h, "HLA-B", "*57:01/*58:01", ["weird", "negative"])
        assert out.activity == "Negative"
        assert out.warnings == ["unmapped phenotype term 'weird'"]
        assert h.unmapped_terms == {"HLA-B\tweird"}


class TestGenotypeGuided:
    def test_alleles_and_diplotype_are_mapped(self, h):
        out = run(h, "G6PD", " B (wildtype) / Mediterranean ", ["ignored"])
        assert (out.star_allele, out.activity, out.warnings) == ("B/Med", "Deficient", [])

    def test_the_first_unmapped_allele_ends_the_diplotype(self, h):
        out = run(h, "G6PD", "B (wildtype)/X/Unknown")
        assert (out.star_allele, out.activity) == (None, None)
        assert out.warnings == ["unmapped allele name 'X'"]
        assert h.unmapped_terms == {"G6PD\tX"}
        out = run(h, "G6PD", "Unknown/B (wildtype)")  # a null entry is unmapped too
        assert out.warnings == ["unmapped allele name 'Unknown'"]

    def test_diplotypes_are_exact_keys(self, h):
        out = run(h, "G6PD", "Mediterranean/B (wildtype)")
        assert (out.star_allele, out.activity) == ("Med/B", None)
        assert out.warnings == ["unmapped genotype-guided diplotype 'Med/B'"]
        assert h.unmapped_terms == {"G6PD\tMed/B"}

    def test_a_diplotype_without_a_term_yet(self, h):
        out = run(h, "G6PD", "Mediterranean/Mediterranean")
        assert out.activity is None
        assert out.warnings == ["genotype-guided diplotype 'Med/Med' has no Orvelle term yet"]
        assert h.unmapped_terms == {"G6PD\tMed/Med"}

    def test_takes_precedence_over_hla_and_ignores_phenotypes(self, h):
        assert h._is_genotype_guided("HLA-GG") and h._is_hla("HLA-GG")
        out = run(h, "HLA-GG", "*57:01:01/*58", ["positive"])
        assert out.warnings == ["unmapped allele name '*57:01:01'"]

    def test_no_alleles_give_absent_without_warning(self, h):
        out = run(h, "G6PD", " / ", ["x"])
        assert (out.star_allele, out.activity, out.warnings) == (None, None, [])

    def test_activity_step_reads_the_result_back(self, h):
        result = GeneOutcome("G6PD")
        result.star_allele = ""
        assert h._genotype_guided_activity("G6PD", result) is None
        result.star_allele = "B/B"
        assert h._genotype_guided_activity(gene="G6PD", result=result) == "Normal"
        assert result.warnings == []

    def test_a_gene_without_tables_maps_nothing(self, h):
        h.rules = {**RULES, "genotype_guided_genes": ["NUDT15"]}
        out = run(h, "NUDT15", "*1/*3")
        assert out.warnings == ["unmapped allele name '*1'"]


class TestPhenotypeMapping:
    @pytest.mark.parametrize("gene, phenotype, expected", [
        ("CYP2D6", "PM", "Poor Metabolizer"),
        ("CYP2D6", "IM", "CYP2D6 Intermediate"),  # per gene overrides global
        ("CYP2D6", "UM", None),  # a null per-gene entry hides global
        ("CYP2C19", "IM", "Intermediate Metabolizer"),
        ("CYP2C9", "UM", "Ultrarapid Metabolizer"),
        ("CYP2C19", "PM", None),
        ("CYP2C19", "pm", None),
    ])
    def test_lookup_per_gene_then_global(self, h, gene, phenotype, expected):
        assert h._lookup_phenotype(gene, phenotype) == expected

    def test_only_the_first_usable_phenotype_is_looked_up(self, h):
        out = run(h, "CYP2C19", "*1/*2", ["X", "NA", "IM"])
        assert out.activity is None
        assert out.warnings == ["2 phenotypes reported; using the first",
                                "unmapped phenotype term 'X'"]
        assert h.unmapped_terms == {"CYP2C19\tX"}

    def test_an_empty_term_counts_as_mapped(self, h):
        assert run(h, "CYP2C19", "*1/*1", ["EMPTY"]).activity == ""
        assert h.unmapped_terms == set()

    @pytest.mark.parametrize("phenotype_source, source, expected", [
        ("CPIC", "pharmcat_report", "no phenotype from CPIC"),
        (None, "pharmcat_report", "no phenotype from pharmcat_report"),
        ("", "diplotype_table", "no phenotype from diplotype_table"),
        (None, None, "no phenotype from None"),
    ])
    def test_no_usable_phenotype(self, h, phenotype_source, source, expected):
        out = run(h, "CYP2C19", "*1/*1", [None, "NA"], source, phenotype_source)
        assert (out.activity, out.warnings) == (None, [expected])

    def test_map_phenotypes_step(self, h):
        call = RawCall(gene="HLA-B", phenotypes=["positive", "negative"])
        result = GeneOutcome("HLA-B")
        assert h._map_phenotypes(call, result) == "Positive"
        assert h._map_phenotypes(call, result, join_all=True) == "Positive; Negative"
        assert result.warnings == ["2 phenotypes reported; using the first"]

    def test_sections_that_count_as_false_are_empty(self, h):
        h.phenotype_terms = {"genes": None, "global": {}}
        assert h._lookup_phenotype("CYP2D6", "PM") is None
        h.phenotype_terms = {}
        assert run(h, "CYP2D6", "*1/*1", ["PM"]).warnings == ["unmapped phenotype term 'PM'"]


class TestUnmappedTerms:
    def test_one_entry_per_text_across_calls(self, h):
        for _ in range(2):
            run(h, "CYP2C19", "*1/*1", ["Indeterminate"])
            run(h, "CYP2D6", "*1/*1", ["Indeterminate"])
        assert h.unmapped_terms == {"CYP2C19\tIndeterminate", "CYP2D6\tIndeterminate"}

    def test_reads_are_copies_and_assignment_replaces(self, h):
        h.unmapped_terms.add("ignored")
        assert h.unmapped_terms == set()
        h.unmapped_terms = {"A\tx"}
        run(h, "B", "*1/*1", ["y"])
        assert h.unmapped_terms == {"A\tx", "B\ty"}

    def test_log_unmapped(self, h, warnings_log):
        h.log_unmapped()
        assert warnings_log() == []
        h.unmapped_terms = {"CYP2D6\t*99", "CYP2C19\tIndeterminate"}
        h.log_unmapped()
        h.log_unmapped()  # the set is kept: the same record again
        first, second = warnings_log()
        assert first.levelno == logging.WARNING
        assert first.msg == "%d term(s) have no Orvelle mapping yet:\n%s"
        assert first.getMessage() == (
            "2 term(s) have no Orvelle mapping yet:\n  CYP2C19\tIndeterminate\n  CYP2D6\t*99")
        assert second.getMessage() == first.getMessage()

    def test_log_lists_entries_in_code_point_order(self, h, warnings_log):
        entries = {"b\tx", "B\tx", "\u00e9\tx", "\U0001f600\tx", "\ud800\tx", "\uffff\tx"}
        h.unmapped_terms = entries
        h.log_unmapped()
        (record,) = warnings_log()
        assert record.args[1] == "\n".join("  " + e for e in sorted(entries))


class TestMappingVersions:
    def test_names_and_versions_in_table_order(self, h):
        h.phenotype_terms = {**PHENOTYPE_TERMS, "version": {"cpic": [1, 2.5]}}
        versions = h.mapping_versions
        assert list(versions) == [C.MAPPING_GENE_RULES, C.MAPPING_PHENOTYPE_TERMS,
                                  C.MAPPING_GENOTYPE_TERMS]
        assert list(versions.values()) == ["rules-7", {"cpic": [1, 2.5]}, None]
        versions.clear()
        assert len(h.mapping_versions) == 3

    def test_tables_without_versions(self):
        assert list(make_harmonizer({}, {}, {}).mapping_versions.values()) == [None] * 3


class TestTablesOfTheWrongShape:
    @pytest.mark.parametrize("table, value, call, message", [
        ("rules", {"hla_genes": "HLA-B"}, ("X", "*1"), "'gene_rules': 'hla_genes' must be a list"),
        ("rules", {"hla_genes": ["HLA-B"], "hla_allele_fields": "two"}, ("HLA-B", "*1:1"),
         "'hla_allele_fields' must be a whole number, not 'two'"),
        ("rules", {"hla_genes": ["HLA-B"], "hla_allele_fields": float("nan")}, ("HLA-B", "*1"),
         "'hla_allele_fields' must be a whole number"),
        ("rules", {"hla_genes": ["HLA-B"], "hla_join_phenotypes_with": 5},
         ("HLA-B", "*1", ["negative"]), "'hla_join_phenotypes_with' must be a string"),
        ("phenotype_terms", {"genes": ["PM"]}, ("X", "*1", ["PM"]), "'phenotype_terms': 'genes'"),
        ("phenotype_terms", {"genes": {"X": "PM"}}, ("X", "*1", ["PM"]), "'genes' entry 'X'"),
        ("phenotype_terms", {"global": {"PM": 1}}, ("X", "*1", ["PM"]), "for 'PM' must be a str"),
        ("genotype_terms", {"alleles": {"G6PD": {"B": ["B"]}}}, ("G6PD", "B/B"), "for 'B'"),
        ("rules", None, ("X", "*1"), "mapping table 'gene_rules' must be an object"),
    ])
    def test_fails_normalize(self, h, table, value, call, message):
        setattr(h, table, value)
        with pytest.raises(ValueError, match=re.escape(message)):
            run(h, *call)

    def test_only_operations_that_read_the_member_fail(self, h):
        h.phenotype_terms = {"genes": {"BAD": "PM", "CYP2D6": {"PM": "Poor"}}}
        assert run(h, "CYP2D6", "*1/*1", ["PM"]).activity == "Poor"
        h.rules = {"passthrough_sources": ["pypgx"], "hla_genes": 5}
        assert run(h, "X", "*1", source="pypgx").star_allele == "*1"

    def test_assigning_a_non_json_table(self, h):
        with pytest.raises(TypeError):
            h.rules = {"hla_genes": {"HLA-B"}}

    def test_an_empty_gene_symbol_is_refused(self, h):
        with pytest.raises(ValueError, match="^gene symbol is required$"):
            run(h, "", "*1/*1")


class TestPackagedTables:
    def test_default_construction_loads_the_packaged_tables(self):
        from OrvellePgxParser.Mappings import load_mapping

        h = AlleleCallHarmonizer()
        assert h.rules == load_mapping(C.MAPPING_GENE_RULES)
        assert h.phenotype_terms == load_mapping(C.MAPPING_PHENOTYPE_TERMS)
        assert h.genotype_terms == load_mapping(C.MAPPING_GENOTYPE_TERMS)
        assert h.unmapped_terms == set()
        assert list(h.mapping_versions.values()) == [
            load_mapping(name).get("version") for name in
            (C.MAPPING_GENE_RULES, C.MAPPING_PHENOTYPE_TERMS, C.MAPPING_GENOTYPE_TERMS)]


# --- host exactness: the quoted form, the sub-allele pattern, int() of a rule value ------------

TRICKY_TEXTS = [
    "it's", 'say "hi"', "both ' and \"", "back\\slash", "\t\n\r", "\x00\x1f\x7f", "\x80\x9f",
    "\xa0\xad", "caf\u00e9", "\u2028\u2029", "\ud800", "\udfff", "\U0001f600", "\U000e0001",
    "\ue000", "\U0010ffff", "\u0378", "\ufeff", "\u0300", "\U0001d7d8",
]
QUOTABLE = st.text(alphabet=st.one_of(
    st.sampled_from("'\"\\ \t\n\r\x00\x7f\x85\xa0\xad/*"),
    st.integers(0xD800, 0xDFFF).map(chr),  # lone surrogates
    st.characters(),
), min_size=1)


@pytest.mark.parametrize("text", TRICKY_TEXTS)
def test_warnings_quote_as_the_host_repr(text):
    h = make_harmonizer({**RULES, "no_call_tokens": []}, {}, {})
    out = run(h, "CYP2C19", "*1/*1", [text])
    assert out.warnings == ["unmapped phenotype term " + repr(text)]
    assert h.unmapped_terms == {"CYP2C19\t" + text}


@settings(max_examples=400, deadline=None)
@given(QUOTABLE)
def test_warnings_quote_generated_texts_as_the_host_repr(text):
    h = make_harmonizer({**RULES, "no_call_tokens": []}, {}, {})
    assert run(h, "CYP2C19", "*1/*1", [text]).warnings == ["unmapped phenotype term " + repr(text)]


def host_strip_suballele(allele):
    match = _SUBALLELE.match(allele.strip())
    return match.group(1) if match else allele


SUBALLELE_PIECES = ["*", "*", ".", "4", "01", "\u0663", "\uff13", "\U0001d7d8", "\u00b3",
                    "\u2083", "\u2460", "\n", " ", "\u3000", "\x1c", "A", "x", "_"]


@pytest.mark.parametrize("allele", [
    "*4.001", " *4.001\n", "*4.001\n", "*\u0663.\uff11", "*\U0001d7d8.1", "*\u00b3.1",
    "*4.\u2083", "*4.\u2460", "*4.001A", "4.001", "*4.x", "*.1", "*4.", "**4.1", "*4.1.2",
])
def test_sub_allele_pattern_matches_as_the_host_re(allele):
    assert make_harmonizer()._strip_suballele(allele) == host_strip_suballele(allele)


@settings(max_examples=1000, deadline=None)
@given(st.lists(st.sampled_from(SUBALLELE_PIECES), max_size=8).map("".join))
def test_sub_allele_pattern_matches_generated_texts_as_the_host_re(allele):
    assert make_harmonizer()._strip_suballele(allele) == host_strip_suballele(allele)


NUMBER_PIECES = ["1", "0", "7", "\u0663", "\uff13", "\U0001d7d8", "\u00b3", "\u2460", " ",
                 "\t", "\x1c", "\x85", "\u2003", "\u3000", "_", "+", "-", ".", "x"]
HLA_ALLELE = "*01:02:03:04:05"


def host_hla_allele(fields):
    try:
        count = int(fields or 2)
    except ValueError:
        return ValueError
    return "*" + ":".join(HLA_ALLELE[1:].split(":")[:count])


def hla_allele(fields):
    h = make_harmonizer({**RULES, "hla_allele_fields": fields}, {}, {})
    try:
        return h._hla_star_allele(RawCall(gene="HLA-B", diplotype=HLA_ALLELE))
    except ValueError:
        return ValueError


@pytest.mark.parametrize("fields", [
    "3", " 3 ", "\u0663", "\uff13", "\U0001d7da", "\u00b3", "1_0", "_1", "1__0", "+4", "-2",
    "\x853\u3000", "\x1c3", "3.0", "0", "-0", "9" * 4300, "9" * 4301, "-" + "9" * 30])
def test_numeric_strings_convert_as_the_host_int(fields):
    assert hla_allele(fields) == host_hla_allele(fields)


@settings(max_examples=600, deadline=None)
@given(st.lists(st.sampled_from(NUMBER_PIECES), max_size=6).map("".join))
def test_generated_numeric_strings_convert_as_the_host_int(fields):
    assert hla_allele(fields) == host_hla_allele(fields)
