"""The pbStarPhase summary JSON reader: one call per gene, and the versions it records."""

import json

import pytest

from OrvellePgxParser.Parsers import AlleleCallHarmonizer, StarPhaseJsonReader
from conftest import FIXTURES


def reader_for(tmp_path, document, name="s.pbstarphase.json"):
    path = tmp_path / name
    path.write_text(document if isinstance(document, str) else json.dumps(document))
    return StarPhaseJsonReader(str(path))


def genes(**details):
    return {"gene_details": details}


def messages(records):
    return [r.getMessage() for r in records()]


class TestDocumentedShape:
    def test_calls_in_code_point_order_from_the_first_diplotype(self, warnings_log):
        calls = StarPhaseJsonReader(str(FIXTURES / "sample.pbstarphase.json")).parse()
        assert [c.gene for c in calls] == ["CYP2C19", "CYP2C9", "CYP2D6", "DPYD", "HLA-A"]
        by_gene = {c.gene: c for c in calls}
        assert by_gene["CYP2D6"].diplotype == "*68+*4.001/*4.001"
        assert by_gene["CYP2D6"].haplotypes == ["*68+*4.001", "*4.001"]
        # an empty "diplotypes" list gives way to "simple_diplotypes"
        assert by_gene["CYP2C19"].diplotype == "*1/*17"
        assert by_gene["HLA-A"].haplotypes == ["01:01:01:01", "26:01:01:01"]
        for call in calls:
            assert call.phenotypes == [] and call.source == "pbstarphase"
            assert call.phenotype_source is None and call.activity_score is None
        assert messages(warnings_log) == [
            "CYP2D6 has 2 pbStarPhase diplotypes; using the first",
            "Skipping NUDT15: no diplotypes called",
        ]

    def test_read_versions(self):
        reader = StarPhaseJsonReader(str(FIXTURES / "sample.pbstarphase.json"))
        versions = reader.read_versions()
        assert list(versions) == ["pbstarphaseVersion", "cpicVersion", "hlaVersion",
                                  "pharmvarVersion"]
        assert versions["pbstarphaseVersion"] == "2.0.0-5beadbd"
        assert versions["pharmvarVersion"] == "6.2.17.2"


class TestGeneDetails:
    @pytest.mark.parametrize("document", [{}, {"gene_details": []}, {"gene_details": None}])
    def test_missing_or_not_an_object(self, tmp_path, document):
        reader = reader_for(tmp_path, document)
        with pytest.raises(ValueError, match=r"s\.pbstarphase\.json: no gene_details section found$"):
            reader.parse()

    @pytest.mark.parametrize("details, type_name", [(None, "NoneType"), ([], "list"),
                                                    (True, "bool")])
    def test_details_of_the_wrong_type_skip_the_gene(self, tmp_path, warnings_log, details,
                                                     type_name):
        ok = {"diplotypes": [{"diplotype": "*1/*1"}]}
        calls = reader_for(tmp_path, genes(A=details, B=ok)).parse()
        assert [c.gene for c in calls] == ["B"]
        assert messages(warnings_log) == [f"Skipping A: unexpected payload type {type_name}"]

    @pytest.mark.parametrize("details", [{}, {"diplotypes": [], "simple_diplotypes": None}])
    def test_no_diplotypes(self, tmp_path, warnings_log, details):
        with_other = genes(A=details, B={"simple_diplotypes": [{"diplotype": "*1/*2"}]})
        assert [c.gene for c in reader_for(tmp_path, with_other).parse()] == ["B"]
        assert messages(warnings_log) == ["Skipping A: no diplotypes called"]

    def test_haplotypes_only_when_given(self, tmp_path):
        first = {"diplotype": "*1/*2", "hap1": "*1", "hap2": None}
        [call] = reader_for(tmp_path, genes(A={"diplotypes": [first]})).parse()
        assert call.haplotypes == ["*1"]
        [call] = reader_for(tmp_path, genes(A={"diplotypes": [{}]})).parse()
        assert call.diplotype is None and call.haplotypes == []


class TestValuesAsFound:
    def test_numbers_and_truth_values_read_as_their_text(self, tmp_path):
        first = {"diplotype": 12, "hap1": 1.0, "hap2": True}
        [call] = reader_for(tmp_path, genes(A={"diplotypes": [first]})).parse()
        assert call.diplotype == "12" and call.haplotypes == ["1.0", "True"]

    @pytest.mark.parametrize("first", [{"diplotype": ["*1", "*2"]}, {"diplotype": "*1/*2",
                                                                      "hap2": {"name": "*2"}}])
    def test_a_list_or_object_drops_the_gene_naming_the_file(self, tmp_path, warnings_log,
                                                              first):
        ok = {"diplotypes": [{"diplotype": "*1/*1"}]}
        calls = reader_for(tmp_path, genes(A={"diplotypes": [first]}, B=ok)).parse()
        assert [c.gene for c in calls] == ["B"]
        [message] = messages(warnings_log)
        assert message.startswith("Skipping A: ") and "s.pbstarphase.json" in message


class TestUnexpectedShapes:
    @pytest.mark.parametrize("document, expected", [
        ([1, 2], "expected a JSON object at the root"),
        (genes(A={"diplotypes": {"diplotype": "*1/*1"}}), "diplotypes of A is a dict, not a list"),
        (genes(A={"diplotypes": ["*1/*1"]}), "the first of the diplotypes of A is a str"),
    ])
    def test_parse_fails_naming_the_file(self, tmp_path, document, expected):
        with pytest.raises(ValueError, match=r"s\.pbstarphase\.json: " + expected):
            reader_for(tmp_path, document).parse()

    def test_read_versions_needs_an_object_for_the_metadata(self, tmp_path):
        reader = reader_for(tmp_path, {"database_metadata": ["v1"]})
        with pytest.raises(ValueError, match="database_metadata is a list, not an object"):
            reader.read_versions()

    def test_read_versions_without_metadata(self, tmp_path):
        reader = reader_for(tmp_path, {"pbstarphase_version": 7, "database_metadata": ""})
        assert reader.read_versions() == {"pbstarphaseVersion": 7, "cpicVersion": None,
                                          "hlaVersion": None, "pharmvarVersion": None}


class TestWriterShape:
    """The fixture follows what pbStarPhase's v2.0.1 writer produces (derived: no real file is
    public): every gene with all six lists, tandems joined by " + ", the sentinel for a gene
    without a reference allele, several candidates where the call is ambiguous."""

    @pytest.fixture
    def results(self):
        calls = StarPhaseJsonReader(str(FIXTURES / "writer.pbstarphase.json")).parse()
        harmonizer = AlleleCallHarmonizer()
        return {c.gene: (c, harmonizer.normalize(c)) for c in calls}

    def test_candidates_that_differ_leave_no_star_allele(self, results):
        call, outcome = results["CYP2B6"]
        assert (call.diplotype, outcome.star_allele) == (None, None)
        assert outcome.warnings[0] == ("2 pbStarPhase diplotypes reported ('*1/*6.001', "
                                       "'*4.001/*9'); they differ, so none is used")

    def test_another_callers_activity_does_not_fill_that_gap(self, tmp_path):
        from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
        table = tmp_path / "CYP2B6.tsv"
        table.write_text("\tGenotype\tPhenotype\nS1_PyPGx\t*1/*6\tIntermediate Metabolizer\n")
        [cyp2b6] = [r for r in OrvellePgxParser({"input_files": [
            str(FIXTURES / "writer.pbstarphase.json"), str(table)]}).parse_files()
            if r.gene == "CYP2B6"]
        assert (cyp2b6.source, cyp2b6.star_allele, cyp2b6.activity) == ("pbstarphase", None, None)

    def test_candidates_that_agree_in_core_alleles_keep_the_first(self, results):
        # the second candidate lists its haplotypes the other way round
        call, outcome = results["CYP2C19"]
        assert (call.diplotype, outcome.star_allele) == ("*1/*17", "*1/*17")  # its core form
        assert outcome.warnings[0] == ("2 pbStarPhase diplotypes reported ('*1.001/*17.001', "
                                       "'*17.001/*1.002'); using the first")

    def test_tandem_sentinel_and_a_single_candidate(self, results):
        assert results["CYP2D6"][1].star_allele == "*68+*4/*4"
        assert results["CYP2C8"][1].star_allele is None
        assert "no diplotype called" in results["CYP2C8"][1].warnings
        assert results["HLA-A"][0].warnings == []
