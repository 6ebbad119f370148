"""The user Gene/Diplotype table reader: CSV sheets with a guessed dialect and guessed column
names, and JSON documents in several shapes."""

import csv
import json

import pytest

from OrvellePgxParser.Parsers import DiplotypeSheetReader

NO_USABLE_ROWS = "no usable rows - the minimum is a Gene and a Diplotype per row$"


def reader_for(tmp_path, content, name="table.csv"):
    path = tmp_path / name
    path.write_text(content if isinstance(content, str) else json.dumps(content))
    return DiplotypeSheetReader(str(path))


def calls_of(tmp_path, content, name="table.csv"):
    calls = reader_for(tmp_path, content, name).parse()
    return [(c.gene, c.diplotype, c.phenotypes) for c in calls]


def messages(records):
    return [r.getMessage() for r in records()]


class TestCsv:
    def test_semicolons_are_sniffed(self, tmp_path):
        text = "Gene Symbol;Star Allele;Metabolizer\nCYP2D6;*1/*4;Intermediate\n"
        assert calls_of(tmp_path, text) == [("CYP2D6", "*1/*4", ["Intermediate"])]

    @pytest.mark.parametrize("text", [
        "GENE,DIPLOTYPE\n CYP2C19 , *1/*2 \n",
        "gene-symbol,star-allele\nCYP2C19,*1/*2\n",
        "\ufeffName,Gene,Call\nX,CYP2C19,*1/*2\n",  # "gene" comes before "name"
        "Gene,Diplotype,Genotype\nCYP2C19,,*1/*2\n",  # an empty cell gives way
    ])
    def test_column_names_and_alias_order(self, tmp_path, text):
        assert calls_of(tmp_path, text) == [("CYP2C19", "*1/*2", [])]

    def test_row_without_gene_is_logged_as_the_host_renders_it(self, tmp_path, warnings_log):
        text = "Sample,Diplotype\nS1,*1/*2,extra,more\nS2\n"
        reader = reader_for(tmp_path, text)
        with pytest.raises(ValueError, match=NO_USABLE_ROWS):
            reader.parse()
        with open(reader.file_path, newline="", encoding="utf-8-sig") as handle:
            rows = list(csv.DictReader(handle))
        assert messages(warnings_log) == [
            f"Row without a gene column in {reader.file_path}: {row!r}" for row in rows]
        assert reader._read_csv() == rows

    def test_skips_with_their_reasons(self, tmp_path, warnings_log):
        text = "Gene,Other,Diplotype\nCYP2D6 ,x,\n   ,y,*1/*1\nCYP2C9,z,*1/*2\n"
        reader = reader_for(tmp_path, text)
        assert [c.gene for c in reader.parse()] == ["CYP2C9"]
        assert messages(warnings_log) == ["Skipping CYP2D6 : no diplotype column",
                                          f"Skipping {reader.file_path}: empty gene symbol"]

    @pytest.mark.parametrize("text", ["", "Gene,Diplotype\n", "Gene,Diplotype\n  ,*1/*1\n"])
    def test_no_usable_rows(self, tmp_path, text):
        with pytest.raises(ValueError, match=r"table\.csv: " + NO_USABLE_ROWS):
            reader_for(tmp_path, text).parse()

    def test_blank_diplotype_is_kept_empty(self, tmp_path):
        assert calls_of(tmp_path, "Gene,Diplotype,Status\nTPMT,  ,  \n") == [("TPMT", "", [""])]

class TestJson:
    @pytest.mark.parametrize("document, expected", [
        ([{"gene": "CYP2C9", "diplotype": "*1/*3"}, 7], [("CYP2C9", "*1/*3", [])]),
        ({"genes": {"CYP2D6": "*1/*4", "X": 3}}, [("CYP2D6", "*1/*4", [])]),
        ({"CYP2C19": {"diplotype": "*1/*2", "phenotype": "IM", "Gene": "X"}},
         [("CYP2C19", "*1/*2", ["IM"])]),
        ({"results": "x", "data": [{"Gene": "TPMT", "Star Allele": 2}]}, [("TPMT", "2", [])]),
        ({"genes": [], "data": [{"gene": "TPMT", "call": "*1"}]}, None),
        # with no container key, the document itself is read as gene-keyed
        ({"TPMT": "*1/*3A", "note": "x"}, [("TPMT", "*1/*3A", [])]),
    ])
    def test_shapes(self, tmp_path, document, expected):
        if expected is None:
            with pytest.raises(ValueError, match=NO_USABLE_ROWS):
                reader_for(tmp_path, document, "t.json").parse()
        else:
            assert calls_of(tmp_path, document, "t.json") == expected

    def test_the_extension_alone_tells_csv_from_json(self, tmp_path):
        assert calls_of(tmp_path, "gene\tlabel\nTPMT\t*1\n", "t.CSV") == [("TPMT", "*1", [])]
        assert calls_of(tmp_path, {"TPMT": "*1/*2"}, "table.txt") == [("TPMT", "*1/*2", [])]

    @pytest.mark.parametrize("document", [42, "x"])
    def test_unsupported_shape(self, tmp_path, document):
        with pytest.raises(ValueError, match=r"t\.json: unsupported JSON shape$"):
            reader_for(tmp_path, json.dumps(document), "t.json").parse()

    def test_values_as_text_and_rows_that_cannot_be_read(self, tmp_path, warnings_log):
        rows = [{"gene": "TPMT", "diplotype": 2.0, "phenotype": False},
                {"gene": "DPYD", "diplotype": ["*1", "*2"]},
                {"gene": "NUDT15", "diplotype": "*1", "status": {"x": 1}},
                {"gene": 7, "diplotype": "*1"},
                {"id": "", "diplotype": "*1", "n": None}]
        reader = reader_for(tmp_path, rows, "t.json")
        assert [(c.gene, c.diplotype, c.phenotypes) for c in reader.parse()] == [
            ("TPMT", "2.0", ["False"])]
        path = reader.file_path
        assert messages(warnings_log) == [
            f"Skipping DPYD: diplotype is not a text (list) in {path}",
            f"Skipping NUDT15: phenotype is not a text (dict) in {path}",
            f"Skipping 7: gene is not a text (int) in {path}",
            f"Row without a gene column in {path}: {{'id': '', 'diplotype': '*1', 'n': None}}"]

class TestKnownGenes:
    def test_rows_of_unknown_genes_are_skipped_and_kept(self, tmp_path, warnings_log):
        reader = reader_for(tmp_path, "Gene,Diplotype\nSample,Genotype\ncyp2d6,*1/*4\nHG00436,*2/*2\n")
        assert [(c.gene, c.diplotype) for c in reader.parse()] == [("CYP2D6", "*1/*4")]  # read as its symbol
        assert reader.unknown_genes == ["Sample", "HG00436"]
        assert messages(warnings_log) == ["Skipping Sample: not a known gene symbol",
                                          "Skipping HG00436: not a known gene symbol"]

    @pytest.mark.parametrize("document, name", [
        ("Gene,Diplotype\nHG00436,*2/*71\n", "table.csv"),
        ({"HG00436": {"Genotype": "*1/*4", "Filter": "PASS"}}, "t.json"),  # keyed by sample
        ({"gene": "TPMT", "diplotype": "*1"}, "t.json"),  # one row written as an object
    ])
    def test_a_table_without_a_known_gene_is_refused(self, tmp_path, document, name):
        with pytest.raises(ValueError, match=r"not a recognised caller output \(expected a "
                                             r"Gene/Diplotype table"):
            reader_for(tmp_path, document, name).parse()


class TestHelpers:
    def test_pick(self):
        row = {"Gene Symbol": "A", " GENE ": "", None: ["x"], "Status": 2, "call": True,
               "label": 1.5}
        pick = DiplotypeSheetReader._pick
        assert pick(row, DiplotypeSheetReader.GENE_ALIASES) == "A"
        assert pick(row, ("status",)) == "2"
        assert pick(row, ("label", "call")) == "1.5"
        assert pick(row, ("call", "label")) == "True"
        assert pick(row, ("none",)) is None
        # of names alike, the later one counts, even when empty
        assert pick({"Gene": "A", "gene": ""}, ("gene",)) is None

    def test_flatten(self):
        mapping = {"A": "*1/*2", "B": {"Gene": "X", "diplotype": "*1"}, "C": {"gene": "Z"}, "D": 4}
        assert DiplotypeSheetReader._flatten(mapping) == [
            {"gene": "A", "diplotype": "*1/*2"}, {"Gene": "X", "diplotype": "*1", "gene": "B"},
            {"gene": "Z"}]

    def test_class_attributes(self):
        names = ["source_name", "GENE_ALIASES", "DIPLOTYPE_ALIASES", "PHENOTYPE_ALIASES"]
        assert [k for k in vars(DiplotypeSheetReader) if k in names] == names
        assert DiplotypeSheetReader.GENE_ALIASES == (
            "gene", "genesymbol", "gene_symbol", "symbol", "id", "name")
        assert DiplotypeSheetReader.DIPLOTYPE_ALIASES == (
            "diplotype", "starallele", "star_allele", "genotype", "call", "label")
        assert DiplotypeSheetReader.PHENOTYPE_ALIASES == (
            "phenotype", "activity", "metabolizer", "metaboliser", "status")
        assert DiplotypeSheetReader.__doc__ == "Reads a user-supplied Gene/Diplotype table."
