"""The PharmCAT phenotype and report readers, on both layouts of the gene reports: grouped by
phenotype source ({"CPIC": {GENE: report}, ...}, up to 3.0) and keyed by gene (3.1 on)."""

import json
from pathlib import Path

import pytest

from OrvellePgxParser.Models import RawCall
from OrvellePgxParser.OrvellePgxConstants import OrvellePgxConstants as C
from OrvellePgxParser.Parsers import (
    AlleleCallHarmonizer,
    IPgxReader,
    PharmcatPhenotypeJsonParser as PhenotypeParser,
    PharmcatReportJsonParser as ReportParser,
)

FIXTURES = Path(__file__).resolve().parent / "fixtures" / "pharmcat"
BY_SOURCE_REPORT = FIXTURES / "by_source.pharmcat.report.json"
BY_SOURCE_PHENOTYPE = FIXTURES / "by_source.pharmcat.phenotype.json"
BY_GENE_REPORT = FIXTURES / "by_gene.pharmcat.report.json"
BY_GENE_PHENOTYPE = FIXTURES / "by_gene.pharmcat.phenotype.json"

SKIP = "Skipping %s: %s"
NO_GENE_SYMBOL = "Gene report without geneSymbol in %s"
UNSUPPORTED_CONTAINER = "Unsupported gene container for source %s: %s"
SEVERAL_IN_SECTION = "%s has %d source diplotypes for %s; using the first"
SEVERAL = "%s has %d source diplotypes; using the first"


def diplotype(label="*1/*1", phenotypes=("Normal Metabolizer",), activity_score=None,
              allele1="*1", allele2="*1"):
    """A source diplotype as PharmCAT writes one (only the members the readers look at)."""
    return {
        "allele1": None if allele1 is None else {"name": allele1, "function": "Normal function"},
        "allele2": None if allele2 is None else {"name": allele2, "function": "Normal function"},
        "label": label, "phenotypes": list(phenotypes), "activityScore": activity_score}


def gene_report(gene, *diplotypes, **members):
    return {"geneSymbol": gene, "sourceDiplotypes": list(diplotypes), **members}


def write(tmp_path, document, name="sample.pharmcat.report.json"):
    path = tmp_path / name
    text = document if isinstance(document, str) else json.dumps(document)
    path.write_text(text, encoding="utf-8")
    return str(path)


def read(tmp_path, document, parser=ReportParser):
    return parser(write(tmp_path, document)).parse()


def read_sections(tmp_path, sections):
    """The calls of a report whose "genes" holds `sections` as given."""
    return read(tmp_path, {"genes": sections})


def fields(call):
    return (call.gene, call.diplotype, call.haplotypes, call.phenotypes, call.phenotype_source,
            call.activity_score)


def logged(records):
    return [(r.msg, r.args) for r in records]


class TestClasses:
    def test_source_names_are_the_caller_identifiers(self):
        assert PhenotypeParser.source_name == C.CALLER_PHARMCAT_PHENOTYPE
        assert ReportParser.source_name == C.CALLER_PHARMCAT_REPORT
        assert ReportParser(str(BY_GENE_REPORT)).source_name == C.CALLER_PHARMCAT_REPORT
        assert PhenotypeParser.source_name != ReportParser.source_name

    def test_report_parser_is_a_phenotype_parser_is_a_reader(self):
        assert issubclass(ReportParser, PhenotypeParser)
        assert issubclass(PhenotypeParser, IPgxReader)
        reader = ReportParser(str(BY_GENE_REPORT))
        assert isinstance(reader, PhenotypeParser) and isinstance(reader, IPgxReader)
        assert not hasattr(PhenotypeParser(str(BY_GENE_PHENOTYPE)), "read_versions")

    def test_root_keys_in_the_order_they_are_tried(self):
        assert PhenotypeParser._root_keys == ("geneReports", "genes")
        assert ReportParser._root_keys == ("geneReports", "genes")

    def test_calls_are_the_models_raw_call(self):
        calls = ReportParser(str(BY_GENE_REPORT)).parse()
        assert calls and all(type(call) is RawCall for call in calls)

    def test_construction_checks_of_the_base(self, tmp_path):
        with pytest.raises(ValueError, match="^file_path cannot be empty$"):
            ReportParser("")
        missing = str(tmp_path / "missing.pharmcat.report.json")
        with pytest.raises(FileNotFoundError) as caught:
            PhenotypeParser(missing)
        assert str(caught.value) == "File not found: " + missing


class TestSourceKeyedLayout:
    def test_every_section_in_document_order(self, warnings_log):
        calls = ReportParser(str(BY_SOURCE_REPORT)).parse()
        assert [(c.gene, c.phenotype_source) for c in calls] == [
            ("CYP2C19", "CPIC"), ("CYP2C9", "CPIC"), ("CYP2D6", "CPIC"), ("CYP4F2", "CPIC"),
            ("DPYD", "CPIC"), ("HLA-B", "CPIC"), ("HLA-A", "CPIC"), ("IFNL3", "CPIC"),
            ("MT-RNR1", "CPIC"), ("CFTR", "CPIC"),
            ("CYP2C19", "DPWG"), ("CYP3A4", "DPWG"), ("DPYD", "DPWG"), ("VKORC1", "DPWG")]
        assert {c.source for c in calls} == {C.CALLER_PHARMCAT_REPORT}
        assert warnings_log() == []

    def test_phenotype_file_reads_the_same_reports_in_its_own_order(self):
        phenotype = PhenotypeParser(str(BY_SOURCE_PHENOTYPE)).parse()
        report = ReportParser(str(BY_SOURCE_REPORT)).parse()
        assert [c.phenotype_source for c in phenotype][0] == "DPWG"  # DPWG is listed first
        assert sorted(map(fields, phenotype)) == sorted(map(fields, report))
        assert {c.source for c in phenotype} == {C.CALLER_PHARMCAT_PHENOTYPE}

    def test_calls_keep_pharmcats_own_terms(self):
        calls = {(c.gene, c.phenotype_source): fields(c)
                 for c in ReportParser(str(BY_SOURCE_REPORT)).parse()}
        assert calls["CYP2C9", "CPIC"] == (
            "CYP2C9", "*1/*1", ["*1", "*1"], ["Normal Metabolizer"], "CPIC", "2.0")
        assert calls["HLA-B", "CPIC"] == (
            "HLA-B", "*15:02/*57:01", ["*15:02", "*57:01"],
            ["*15:02 positive", "*57:01 positive", "*58:01 negative"], "CPIC", None)
        assert calls["HLA-A", "CPIC"] == (
            "HLA-A", "Unknown/Unknown", ["Unknown", "Unknown"], [], "CPIC", None)
        assert calls["CYP4F2", "CPIC"][3] == []
        assert calls["IFNL3", "CPIC"][3] == ["n/a"]
        # No slash, no second allele.
        assert calls["MT-RNR1", "CPIC"] == (
            "MT-RNR1", "1555A>G", ["1555A>G"], ["n/a"], "CPIC", None)
        assert calls["CFTR", "CPIC"][:3] == (
            "CFTR", "E56K (heterozygous)", ["E56K", "ivacaftor non-responsive CFTR sequence"])

    def test_sections_may_disagree_on_one_gene(self):
        calls = {(c.gene, c.phenotype_source): c
                 for c in ReportParser(str(BY_SOURCE_REPORT)).parse()}
        assert (calls["DPYD", "CPIC"].phenotypes, calls["DPYD", "CPIC"].activity_score) == (
            ["Normal Metabolizer"], "2.0")
        assert (calls["DPYD", "DPWG"].phenotypes, calls["DPYD", "DPWG"].activity_score) == (
            ["2.0 (Normal Metabolizer)"], None)

    def test_same_gene_under_two_sections_gives_two_calls_in_file_order(self, tmp_path):
        report = gene_report("CYP2C19", diplotype("*1/*2"))
        calls = read_sections(tmp_path, {"DPWG": {"CYP2C19": report}, "CPIC": [report]})
        assert [(c.gene, c.phenotype_source) for c in calls] == [
            ("CYP2C19", "DPWG"), ("CYP2C19", "CPIC")]

    def test_report_phenotype_source_overrides_the_section_key(self, tmp_path):
        calls = read_sections(tmp_path, {"CPIC": {
            "A": gene_report("A", diplotype(), phenotypeSource="NA"),
            "B": gene_report("B", diplotype(), phenotypeSource=""),
            "C": gene_report("C", diplotype(), phenotypeSource=None)}})
        assert [c.phenotype_source for c in calls] == ["NA", "CPIC", "CPIC"]


class TestGeneKeyedLayout:
    def test_reports_keyed_by_gene_have_no_phenotype_source(self, warnings_log):
        calls = ReportParser(str(BY_GENE_REPORT)).parse()
        assert [c.gene for c in calls] == [
            "ABCG2", "CYP2C9", "CYP2D6", "DPYD", "G6PD", "HLA-B", "MT-RNR1", "UGT1A1"]
        assert {c.phenotype_source for c in calls} == {None}
        assert {c.source for c in calls} == {C.CALLER_PHARMCAT_REPORT}
        assert logged(warnings_log()) == [(SEVERAL, ("DPYD", 2)), (SEVERAL, ("UGT1A1", 3))]

    def test_calls_keep_pharmcats_own_terms(self):
        calls = {c.gene: fields(c) for c in ReportParser(str(BY_GENE_REPORT)).parse()}
        assert calls["CYP2C9"] == (
            "CYP2C9", "*1/*2", ["*1", "*2"], ["Intermediate Metabolizer"], None, "1.5")
        assert calls["CYP2D6"] == (
            "CYP2D6", "Unknown/Unknown", ["Unknown", "Unknown"], ["No Result"], None, "No Result")
        assert calls["MT-RNR1"] == ("MT-RNR1", "Unknown", ["Unknown"], ["No Result"], None, None)
        assert calls["HLA-B"][3] == []
        # Several source diplotypes: the first one is used.
        assert calls["DPYD"] == (
            "DPYD", "c.1905+1G>A (*2A)", ["c.1905+1G>A (*2A)"], ["n/a"], None, "n/a")
        assert calls["UGT1A1"][1:3] == ("*28/*37", ["*28", "*37"])

    def test_phenotype_file_reads_the_same_reports(self):
        phenotype = PhenotypeParser(str(BY_GENE_PHENOTYPE)).parse()
        report = ReportParser(str(BY_GENE_REPORT)).parse()
        assert list(map(fields, phenotype)) == list(map(fields, report))
        assert {c.source for c in phenotype} == {C.CALLER_PHARMCAT_PHENOTYPE}

    def test_gene_comes_from_the_report_not_the_member_name(self, tmp_path):
        calls = read_sections(tmp_path, {"first": gene_report("TPMT", diplotype())})
        assert [(c.gene, c.phenotype_source) for c in calls] == [("TPMT", None)]

    def test_phenotype_source_of_the_report_is_kept(self, tmp_path):
        calls = read_sections(tmp_path, {"HLA-B": gene_report("HLA-B", diplotype(),
                                                              phenotypeSource="NA")})
        assert calls[0].phenotype_source == "NA"

    def test_messages_name_no_section(self, tmp_path, warnings_log):
        read_sections(tmp_path, {
            "TPMT": gene_report("TPMT"),
            "CYP2C9": gene_report("CYP2C9", diplotype("*1/*2"), diplotype("*1/*35"))})
        assert logged(warnings_log()) == [
            (SKIP, ("TPMT", "no sourceDiplotypes")), (SEVERAL, ("CYP2C9", 2))]

    def test_report_with_empty_gene_symbol_is_still_a_report(self, tmp_path, warnings_log):
        path = write(tmp_path, {"genes": {"X": gene_report("", diplotype()),
                                          "TPMT": gene_report("TPMT", diplotype())}})
        assert [c.gene for c in ReportParser(path).parse()] == ["TPMT"]
        assert logged(warnings_log()) == [(NO_GENE_SYMBOL, (path,))]

    def test_reports_and_sections_side_by_side(self, tmp_path):
        calls = read_sections(tmp_path, {
            "TPMT": gene_report("TPMT", diplotype()),
            "DPWG": {"CYP3A4": gene_report("CYP3A4", diplotype())}})
        assert [(c.gene, c.phenotype_source) for c in calls] == [
            ("TPMT", None), ("CYP3A4", "DPWG")]


class TestDiplotypeFields:
    @pytest.mark.parametrize("score, text", [
        ("2.0", "2.0"), ("n/a", "n/a"), ("No Result", "No Result"), ("", ""),
        (None, None), (2.0, "2.0"), (2, "2"), (1.25, "1.25"), (0, "0"), (False, "False")])
    def test_activity_score_as_text(self, tmp_path, score, text):
        (call,) = read_sections(tmp_path, {"CPIC": {"A": gene_report(
            "A", diplotype(activity_score=score))}})
        assert call.activity_score == text

    def test_missing_activity_score_is_absent(self, tmp_path):
        entry = diplotype()
        del entry["activityScore"]
        (call,) = read_sections(tmp_path, {"CPIC": [gene_report("A", entry)]})
        assert call.activity_score is None

    @pytest.mark.parametrize("phenotypes, read_as", [
        (["Poor Metabolizer", "", None], ["Poor Metabolizer"]),
        ([], []),
        (None, []),
        (["n/a"], ["n/a"]),
        ([0, False, 2, 1.5, True], ["2", "1.5", "True"]),
    ])
    def test_given_phenotypes_in_order(self, tmp_path, phenotypes, read_as):
        entry = diplotype()
        entry["phenotypes"] = phenotypes
        (call,) = read_sections(tmp_path, {"CPIC": [gene_report("A", entry)]})
        assert call.phenotypes == read_as

    def test_missing_phenotypes_give_an_empty_list(self, tmp_path):
        entry = diplotype()
        del entry["phenotypes"]
        (call,) = read_sections(tmp_path, {"CPIC": [gene_report("A", entry)]})
        assert call.phenotypes == []

    @pytest.mark.parametrize("label, read_as", [
        ("*1/*2", "*1/*2"), ("", ""), (None, None), (5, "5"), (True, "True")])
    def test_label_as_found(self, tmp_path, label, read_as):
        (call,) = read_sections(tmp_path, {"CPIC": [gene_report("A", diplotype(label))]})
        assert call.diplotype == read_as

    def test_missing_label_is_absent(self, tmp_path):
        entry = diplotype()
        del entry["label"]
        (call,) = read_sections(tmp_path, {"CPIC": [gene_report("A", entry)]})
        assert call.diplotype is None

    @pytest.mark.parametrize("allele1, allele2, names", [
        ({"name": "*1"}, {"name": "*4"}, ["*1", "*4"]),
        ({"function": "Normal function"}, {"name": "*4"}, ["*4"]),
        ({"name": ""}, {"name": None}, []),
        ({"name": "1555A>G"}, None, ["1555A>G"]),
        ("*1", ["*4"], []),
    ])
    def test_haplotypes_are_the_given_allele_names(self, tmp_path, allele1, allele2, names):
        entry = {"label": "x", "allele1": allele1, "allele2": allele2}
        (call,) = read_sections(tmp_path, {"CPIC": [gene_report("A", entry)]})
        assert call.haplotypes == names
        assert PhenotypeParser._haplotype_names(entry) == names


class TestSkippedGenes:
    @pytest.mark.parametrize("value", ["missing", None, []])
    def test_no_source_diplotypes_names_the_section(self, tmp_path, warnings_log, value):
        report = gene_report("CYP2D6", phenotypeSource="DPWG")
        if value == "missing":
            del report["sourceDiplotypes"]
        else:
            report["sourceDiplotypes"] = value
        calls = read_sections(tmp_path, {"CPIC": {"CYP2D6": report,
                                                  "TPMT": gene_report("TPMT", diplotype())}})
        assert [c.gene for c in calls] == ["TPMT"]
        (record,) = warnings_log()
        assert (record.msg, record.args) == (SKIP, ("CYP2D6", "no sourceDiplotypes for source CPIC"))
        assert record.getMessage() == "Skipping CYP2D6: no sourceDiplotypes for source CPIC"

    def test_several_source_diplotypes_use_the_first(self, tmp_path, warnings_log):
        (call,) = read_sections(tmp_path, {"CPIC": {"CYP2C9": gene_report(
            "CYP2C9", diplotype("*1/*2", activity_score="1.5"),
            diplotype("*1/*35", activity_score="1.0"))}})
        assert (call.diplotype, call.activity_score) == ("*1/*2", "1.5")
        assert logged(warnings_log()) == [(SEVERAL_IN_SECTION, ("CYP2C9", 2, "CPIC"))]

    @pytest.mark.parametrize("symbol", ["missing", "", None, False, 0, [], {}])
    def test_report_without_gene_symbol(self, tmp_path, warnings_log, symbol):
        report = gene_report(symbol, diplotype())
        if symbol == "missing":
            del report["geneSymbol"]
        path = write(tmp_path, {"genes": {"CPIC": [report, gene_report("TPMT", diplotype())]}})
        assert [c.gene for c in ReportParser(path).parse()] == ["TPMT"]
        assert logged(warnings_log()) == [(NO_GENE_SYMBOL, (path,))]

    @pytest.mark.parametrize("symbol, gene", [
        (5, "5"), (True, "True"), (1.5, "1.5"), (["CYP2D6"], "['CYP2D6']"),
        ({"name": "CYP2D6"}, "{'name': 'CYP2D6'}")])
    def test_gene_symbol_that_is_not_a_text(self, tmp_path, warnings_log, symbol, gene):
        path = write(tmp_path, {"genes": {"CPIC": [gene_report(symbol, diplotype()),
                                                   gene_report("TPMT", diplotype())]}})
        assert [c.gene for c in ReportParser(path).parse()] == ["TPMT"]
        (record,) = warnings_log()
        assert record.msg == SKIP and record.args[0] == gene
        assert path in record.getMessage()

    @pytest.mark.parametrize("member, value", [
        ("label", ["*1", "*2"]), ("label", {"a": "*1"}),
        ("phenotypes", ["Normal Metabolizer", ["Poor Metabolizer"]]),
        ("phenotypes", [{"term": "Poor Metabolizer"}]),
        ("phenotypes", "Poor Metabolizer"), ("phenotypes", {"term": "Poor Metabolizer"})])
    def test_term_that_is_a_list_or_object(self, tmp_path, warnings_log, member, value):
        entry = diplotype()
        entry[member] = value
        path = write(tmp_path, {"genes": {"CPIC": [gene_report("CYP2D6", entry),
                                                   gene_report("TPMT", diplotype())]}})
        assert [c.gene for c in ReportParser(path).parse()] == ["TPMT"]
        (record,) = warnings_log()
        assert record.msg == SKIP and record.args[0] == "CYP2D6"
        assert path in record.getMessage()

    @pytest.mark.parametrize("value", [{"label": "*1/*1"}, "*1/*1", 7])
    def test_source_diplotypes_not_a_list_end_the_file(self, tmp_path, value):
        path = write(tmp_path, {"genes": {"CPIC": [gene_report("CYP2D6", sourceDiplotypes=value)]}})
        with pytest.raises(ValueError) as caught:
            ReportParser(path).parse()
        assert str(caught.value).startswith(path + ": ")

    @pytest.mark.parametrize("first", ["*1/*1", None, ["*1", "*1"]])
    def test_first_source_diplotype_not_an_object_ends_the_file(self, tmp_path, first):
        path = write(tmp_path, {"genes": {"CPIC": [
            gene_report("CYP2D6", first, diplotype())]}})
        with pytest.raises(ValueError) as caught:
            ReportParser(path).parse()
        assert str(caught.value).startswith(path + ": ")


class TestGeneContainers:
    @pytest.mark.parametrize("container, type_name", [
        ("abc", "str"), (None, "NoneType"), (True, "bool"), (3, "int"), (2.5, "float")])
    def test_unsupported_container_skips_only_its_section(self, tmp_path, warnings_log,
                                                           container, type_name):
        calls = read_sections(tmp_path, {"DPWG": container,
                                         "CPIC": {"TPMT": gene_report("TPMT", diplotype())}})
        assert [(c.gene, c.phenotype_source) for c in calls] == [("TPMT", "CPIC")]
        assert logged(warnings_log()) == [(UNSUPPORTED_CONTAINER, ("DPWG", type_name))]

    def test_array_container_in_order(self, tmp_path):
        calls = read_sections(tmp_path, {"CPIC": [gene_report("B", diplotype()),
                                                  gene_report("A", diplotype())]})
        assert [c.gene for c in calls] == ["B", "A"]

    @pytest.mark.parametrize("as_array", [False, True])
    def test_entries_that_are_not_objects_are_dropped_silently(self, tmp_path, warnings_log,
                                                                as_array):
        entries = ["CYP2D6", None, 3, [gene_report("X", diplotype())],
                   gene_report("TPMT", diplotype())]
        container = entries if as_array else {str(i): e for i, e in enumerate(entries)}
        calls = read_sections(tmp_path, {"CPIC": container})
        assert [c.gene for c in calls] == ["TPMT"]
        assert warnings_log() == []

    def test_empty_containers_give_no_calls(self, tmp_path, warnings_log):
        assert read_sections(tmp_path, {"CPIC": {}, "DPWG": []}) == []
        assert read_sections(tmp_path, {}) == []
        assert warnings_log() == []


class TestRoot:
    @pytest.mark.parametrize("root", ["[]", '"genes"', "1", "null", "true"])
    def test_root_not_an_object(self, tmp_path, root):
        path = write(tmp_path, root)
        with pytest.raises(ValueError) as caught:
            PhenotypeParser(path).parse()
        assert str(caught.value) == path + ": expected a JSON object at the root"

    @pytest.mark.parametrize("document, keys", [
        ({"title": "s", "drugs": {}}, "drugs, title"),
        ({}, ""),
        ({"": 1, "a": 1}, ", a"),
        ({"b": 1, "B": 1, "\u00e4": 1, "a": 1, "\U0001f600": 1, "\uff21": 1},
         "B, a, b, \u00e4, \uff21, \U0001f600"),
        ({"genes": [], "geneReports": "x", "report": {"genes": []}},
         "geneReports, genes, report"),
        ({"geneCalls": [], "genotypes": [], "pharmcatVersion": "v0.8.0\n"},
         "geneCalls, genotypes, pharmcatVersion"),
    ])
    def test_no_gene_reports_lists_the_sorted_root_keys(self, tmp_path, document, keys):
        path = write(tmp_path, document)
        with pytest.raises(ValueError) as caught:
            ReportParser(path).parse()
        assert str(caught.value) == f"{path}: no gene reports found (top-level keys: {keys})"

    def test_gene_reports_object_is_tried_first(self, tmp_path):
        calls = read(tmp_path, {"genes": {"CPIC": [gene_report("A", diplotype())]},
                                "geneReports": {"CPIC": [gene_report("B", diplotype())]}})
        assert [c.gene for c in calls] == ["B"]

    def test_gene_reports_array_is_passed_over_for_genes_object(self, tmp_path):
        calls = read(tmp_path, {"geneReports": [gene_report("A", diplotype())],
                                "genes": {"CPIC": [gene_report("B", diplotype())]}})
        assert [c.gene for c in calls] == ["B"]

    def test_genes_under_report(self, tmp_path):
        calls = read(tmp_path, {"genes": "none here",
                                "report": {"genes": {"CPIC": [gene_report("A", diplotype())]}}})
        assert [(c.gene, c.phenotype_source) for c in calls] == [("A", "CPIC")]


class TestReadVersions:
    def test_four_members_in_order(self):
        versions = ReportParser(str(BY_SOURCE_REPORT)).read_versions()
        assert list(versions.items()) == [
            ("pharmcatVersion", "v3.0.0-7-gabc1234"), ("dataVersion", "2024-11-20-08-15"),
            ("title", "orvelle.sample"), ("timestamp", "2024-12-02T09:30:12.017Z")]

    def test_missing_members_are_null_and_any_type_is_kept(self, tmp_path):
        path = write(tmp_path, {"timestamp": 17, "pharmcatVersion": {"v": [1, None]},
                                "dataVersion": None})
        assert list(ReportParser(path).read_versions().items()) == [
            ("pharmcatVersion", {"v": [1, None]}), ("dataVersion", None), ("title", None),
            ("timestamp", 17)]

    def test_reads_the_file_again(self, tmp_path):
        reader = ReportParser(write(tmp_path, {"genes": {}, "title": "first"}))
        assert reader.parse() == []
        write(tmp_path, {"genes": {}, "title": "second"})
        assert reader.read_versions()["title"] == "second"

    def test_root_not_an_object(self, tmp_path):
        with pytest.raises(ValueError):
            ReportParser(write(tmp_path, "[1, 2]")).read_versions()

    def test_invalid_json_is_the_base_error(self, tmp_path):
        path = write(tmp_path, '{"title": ')
        with pytest.raises(ValueError) as caught:
            ReportParser(path).read_versions()
        assert str(caught.value).startswith(path + " is not valid JSON: ")
        assert isinstance(caught.value.__cause__, json.JSONDecodeError)


class TestInternalOperations:
    @pytest.fixture
    def reader(self):
        return PhenotypeParser(str(BY_GENE_PHENOTYPE))

    def test_extract_genes_by_source(self, reader):
        sections = {"CPIC": {"A": gene_report("A", diplotype())}}
        assert reader._extract_genes_by_source(data={"geneReports": sections}) == sections
        assert reader._extract_genes_by_source({"report": {"genes": {}}}) == {}
        with pytest.raises(ValueError) as caught:
            reader._extract_genes_by_source([])
        assert str(caught.value) == str(BY_GENE_PHENOTYPE) + ": expected a JSON object at the root"

    def test_iterate_genes(self, reader, warnings_log):
        a, b = gene_report("A", diplotype()), gene_report("B")
        assert reader._iterate_genes(phenotype_source="CPIC", genes={"x": a, "y": 1, "z": b}) == [a, b]
        assert reader._iterate_genes("CPIC", [b, "a", a]) == [b, a]
        assert reader._iterate_genes("DPWG", "abc") == []
        assert logged(warnings_log()) == [(UNSUPPORTED_CONTAINER, ("DPWG", "str"))]

    def test_to_raw_call(self, reader, warnings_log):
        call = reader._to_raw_call(gene_report=gene_report("A", diplotype("*1/*2")),
                                   phenotype_source="CPIC")
        assert call == RawCall(gene="A", diplotype="*1/*2", haplotypes=["*1", "*1"],
                               phenotypes=["Normal Metabolizer"],
                               source=C.CALLER_PHARMCAT_PHENOTYPE, phenotype_source="CPIC")
        assert reader._to_raw_call(gene_report("A", diplotype()), None).phenotype_source is None
        assert reader._to_raw_call(gene_report("A"), "CPIC") is None
        assert reader._to_raw_call({"sourceDiplotypes": [diplotype()]}, "CPIC") is None
        assert logged(warnings_log()) == [
            (SKIP, ("A", "no sourceDiplotypes for source CPIC")),
            (NO_GENE_SYMBOL, (str(BY_GENE_PHENOTYPE),))]

    def test_haplotype_names_is_static(self, reader):
        entry = diplotype(allele1="*2", allele2=None)
        assert PhenotypeParser._haplotype_names(diplotype=entry) == ["*2"]
        assert reader._haplotype_names(entry) == ["*2"]

    @pytest.mark.parametrize("value", [
        True, False, 0, 1, -7, 2**70, 1.0, 1.5, 0.25, 1e-05, 0.0001, 1e16, 1e15, 123456.789,
        -0.0, 5e-324, float("inf"), float("-inf"), float("nan")])
    def test_as_text_is_the_hosts_text_form(self, value):
        assert PhenotypeParser._as_text(value) == str(value)

    def test_as_text_of_texts_and_null(self, reader):
        assert PhenotypeParser._as_text(value=None) is None
        assert PhenotypeParser._as_text("") == ""
        assert reader._as_text("2.0") == "2.0"


def outcomes(calls):
    """Each call through the normaliser with the packaged tables, by gene."""
    harmonizer = AlleleCallHarmonizer()
    return {call.gene: harmonizer.normalize(call) for call in calls}


def haplotype_only(name):
    """How PharmCAT lists one variant of an unphased DPYD call: a haplotype on its own."""
    return diplotype(name, ["n/a"], "n/a", allele1=name, allele2=None)


class TestCombinedCall:
    UNPHASED = [haplotype_only("c.1905+1G>A (*2A)"), haplotype_only("c.1679T>G (*13)")]
    COMBINED = diplotype("c.1679T>G (*13)/c.1905+1G>A (*2A)", ["Poor Metabolizer"], "0.0",
                         allele1="c.1679T>G (*13)", allele2="c.1905+1G>A (*2A)")

    def test_single_haplotypes_give_way_to_the_recommendation_diplotype(self, tmp_path,
                                                                         warnings_log):
        report = gene_report("DPYD", *self.UNPHASED, recommendationDiplotypes=[self.COMBINED])
        (call,) = read_sections(tmp_path, {"CPIC": {"DPYD": report}})
        assert (call.diplotype, call.phenotypes, call.activity_score) == (
            "c.1679T>G (*13)/c.1905+1G>A (*2A)", ["Poor Metabolizer"], "0.0")
        assert call.warnings == [
            "source haplotypes 'c.1905+1G>A (*2A)', 'c.1679T>G (*13)'; PharmCAT bases its "
            "guidance on 'c.1679T>G (*13)/c.1905+1G>A (*2A)' (lowest function per strand: "
            "PharmCAT keeps the lowest-activity allele of each strand, or of unphased data the "
            "two lowest-function haplotypes); its phenotype is the Activity"]
        assert warnings_log() == []

    @pytest.mark.parametrize("recommended", [
        "same",  # an older report whose two lists agree
        "missing", [],
        [diplotype("1555A>G", ["n/a"], allele1="1555A>G", allele2=None)],
    ])
    def test_otherwise_the_source_diplotypes_are_read(self, tmp_path, recommended):
        members = {} if recommended == "missing" else {"recommendationDiplotypes": (
            self.UNPHASED if recommended == "same" else recommended)}
        (call,) = read_sections(tmp_path, {"CPIC": {"DPYD": gene_report(
            "DPYD", *self.UNPHASED, **members)}})
        assert call.diplotype == "c.1905+1G>A (*2A)"


class TestPharmcatsOwnAnswer:
    """PharmCAT's recommendation diplotypes, caveats and unannotated calls, on a fixture shaped
    from PharmCAT's structures for the cases no published file shows (fixtures/README.md)."""

    PATH = FIXTURES / "inferred_and_caveats.pharmcat.phenotype.json"

    @pytest.fixture
    def results(self):
        from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
        return {r.gene: r for r in OrvellePgxParser({"input_files": [str(self.PATH)]}
                                                    ).parse_files()}

    @pytest.mark.parametrize("gene, star_allele, activity, called, recommended, why", [
        ("CYP2D6", "*1/*2x3", "Ultrarapid Metabolizer", "source diplotype '*1/*2x3'",
         "*1/*2x\u22653", "copy number: "),
        # the cis pair on one strand is looked up by its no-function member
        ("DPYD", "Reference/[c.85T>C (*9A)+c.1905+1G>A (*2A)]", "Intermediate Metabolizer",
         "source diplotype 'Reference/[c.85T>C (*9A) + c.1905+1G>A (*2A)]'",
         "Reference/c.1905+1G>A (*2A)", "lowest function per strand: "),
        ("RYR1", "Reference/[c.1021G>A+c.6617C>T]", "Malignant Hyperthermia Susceptibility",
         "source diplotype 'Reference/[c.1021G>A + c.6617C>T]'", "Reference/c.6617C>T",
         "lowest function per strand: PharmCAT keeps the most severe allele"),
        # the matcher called nothing: no star allele, PharmCAT's inferred phenotype
        ("SLCO1B1", None, "Decreased Function", "source diplotype 'Unknown/Unknown'", "*1/*5",
         "rs4149056: "),
    ])
    def test_the_activity_is_the_recommendation_diplotypes_phenotype(
            self, results, gene, star_allele, activity, called, recommended, why):
        result = results[gene]
        assert (result.star_allele, result.activity) == (star_allele, activity)
        assert result.warnings[0].startswith(
            f"{called}; PharmCAT bases its guidance on {recommended!r} ({why}")
        assert result.warnings[0].endswith("); its phenotype is the Activity")

    @pytest.mark.parametrize("gene, star_allele, rule, text", [
        ("CYP3A5", "*1/*1", "CYP3A5 *3 missing", "CYP3A5*3 is a common variant found in some "
         "populations. Due to missing information on rs776746 in the VCF file, the presence of "
         "the *3 allele cannot be ruled out, and further testing may be warranted."),
        ("TPMT", "*1/*3A", "TPMT *1/*3A warning", "The assigned genotype is *1/*3A; however, "
         "*3B/*3C cannot be ruled out without phased data."),
        ("NUDT15", "*1/*2", "NUDT15 *1/*2 warning", "The assigned genotype is *1/*2; however, "
         "*3/*6 cannot be ruled out without phased data."),
    ])
    def test_a_caveat_that_allows_another_phenotype_empties_the_activity(
            self, results, gene, star_allele, rule, text):
        result = results[gene]
        assert (result.star_allele, result.activity) == (star_allele, None)
        assert result.warnings[0] == f"PharmCAT ({rule}): {text}"
        assert result.warnings[-1] == (
            f"no Activity: {rule!r} says the result may be another phenotype")

    def test_missing_positions_and_uncalled_haplotypes_name_what_is_missing(self, results):
        assert results["CYP3A5"].warnings[1:3] == [
            "PharmCAT: missing positions: 1 of 2 positions of CYP3A5 have no genotype in the "
            "sample (rs776746)",
            "PharmCAT: uncalled haplotypes (defining positions missing): *3"]

    def test_a_caveat_the_tables_do_not_list_keeps_the_activity(self, results):
        result = results["G6PD"]
        assert (result.star_allele, result.activity) == ("B (reference)/Mt Sinai", "G6PD Variable")
        assert result.warnings == [
            "PharmCAT (G6PD B (reference)/Mt Sinai warning): The assigned genotype is "
            "B (reference)/Mt Sinai; however, A/Guadalajara cannot be ruled out without phased "
            "data."]

    def test_only_the_doubting_messages_travel(self):
        calls = {c.gene: c for c in PhenotypeParser(str(self.PATH)).parse()}
        # notes ("reference-allele") and the outside-call disclaimer stay behind
        assert calls["CYP3A5"].caveats == ["CYP3A5 *3 missing"]
        assert calls["CYP2D6"].caveats == [] and calls["NAT2"].caveats == []

    def test_an_unannotated_call_comes_last_without_a_phenotype(self, results):
        calls = PhenotypeParser(str(self.PATH)).parse()
        assert calls[-1].gene == "NAT2" and calls[-1].phenotype_source is None
        result = results["NAT2"]
        assert (result.star_allele, result.activity, result.phenotype_source) == (
            "*1/*1", None, None)
        assert result.warnings == [
            "PharmCAT has no phenotype data for NAT2 (unannotatedGeneCalls)",
            "no phenotype from pharmcat_phenotype"]


class TestOutsideCalls:
    """Derived from the outside-call entries of PharmCAT v3.1 output (the release examples hold
    outside calls with a diplotype only): PharmCAT's own fields for calls given as a phenotype
    or an activity score, and for one whose phenotype PharmCAT does not expect."""

    @pytest.fixture
    def calls(self):
        path = FIXTURES / "outside_calls.pharmcat.phenotype.json"
        return {c.gene: c for c in PhenotypeParser(str(path)).parse()}

    def test_no_diplotype_means_no_star_allele(self, calls):
        results = outcomes(calls.values())
        assert [(results[g].star_allele, results[g].activity) for g in ("CYP2D6", "HLA-A")] == [
            (None, "Normal Metabolizer"), (None, "HLA-A*31:01 positive")]
        assert results["CYP2D6"].warnings == [
            "no diplotype given, only the label 'Normal Metabolizer (1.25)'", "no diplotype called"]

    def test_a_mismatch_names_both_values(self, calls):
        expected_phenotype = ("outside phenotype ['Normal Metabolizer'] differs from the one "
                              "PharmCAT expects, 'Intermediate Metabolizer'")
        assert calls["CYP2C9"].warnings[:2] == [
            expected_phenotype,
            "outside activity score '1.0' differs from the one PharmCAT expects, '2.0'"]
        result = outcomes(calls.values())["CYP2C19"]
        assert (result.star_allele, result.activity, result.warnings) == (
            "*1/*2", "Normal Metabolizer", [expected_phenotype])
