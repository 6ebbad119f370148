"""The PyPGx per-gene sample table reader and its header test."""

import csv

import pytest

from OrvellePgxParser.Parsers import PyPgxTableReader
from conftest import FIXTURES

HEADER = "Sample\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\n"


def reader_for(tmp_path, text, name="CYP2D6.tsv"):
    path = tmp_path / name
    path.write_text(text)
    return PyPgxTableReader(str(path))


def expected_calls(path):
    """The calls the table's rules give, worked out with the host's own csv module."""
    def value(row, column):
        cell = row.get(column)
        return None if cell is None else cell.rstrip(";").strip()

    with open(path, newline="", encoding="utf-8-sig") as handle:
        rows = list(csv.DictReader(handle, delimiter="\t"))
    return [(value(r, "Genotype"), [value(r, "Phenotype")],
             [h for h in (value(r, "Haplotype1"), value(r, "Haplotype2")) if h]) for r in rows]


class TestRealShape:
    def test_own_fixture(self):
        calls = PyPgxTableReader(str(FIXTURES / "CYP2D6.tsv")).parse()
        assert [c.diplotype for c in calls] == ["*4/*5", "*2x2/*71", "*1/*36x2+*10", "*5/*68+*4"]
        assert calls[0].haplotypes == ["*4;*10;*2", "*10;*2"]
        assert calls[3].haplotypes == ["*4"]
        assert {(c.gene, c.source) for c in calls} == {("CYP2D6", "pypgx")}

    @pytest.mark.parametrize("name", ["CYP2D6.2021.tsv", "CYP2D6.2022.tsv"])
    def test_published_tables(self, shared_samples, tmp_path, name):
        # Copied under the gene's own name, as the pipeline renames data.tsv.
        path = tmp_path / "CYP2D6.tsv"
        path.write_bytes((shared_samples / "pypgx" / name).read_bytes())
        calls = PyPgxTableReader(str(path)).parse()
        assert len(calls) == 70 and {c.gene for c in calls} == {"CYP2D6"}
        assert [(c.diplotype, c.phenotypes, c.haplotypes) for c in calls] == expected_calls(path)


class TestGene:
    @pytest.mark.parametrize("name", ["Genotypes.tsv", " .tsv", "HG00276.tsv",
                                      "CYP2D6-CYP2D7.tsv", "CYP2D6x.tsv"])
    def test_no_gene_anywhere_fails_the_file(self, tmp_path, name):
        reader = reader_for(tmp_path, HEADER + "S1\t*1/*4\tIM\t*1\t*4\n", name)
        with pytest.raises(ValueError, match="cannot tell which gene this table is for - there "
                           "is no Gene column and the file name holds no known gene symbol, or "
                           "several$"):
            reader.parse()

    def test_gene_column_and_file_name_fallback(self, tmp_path):
        text = ("Gene\t" + HEADER + "CYP2C19\tS1\t*1/*2\tIM\t\t\n"
                " \tS2\t*1/*1\tNM\t\t\n\tS3\t*1\tNM\t\t\n")
        genes = [c.gene for c in reader_for(tmp_path, text).parse()]
        assert genes == ["CYP2C19", "CYP2D6", "CYP2D6"]
        # In data.tsv only the first row names its gene; a blank Gene cell finds none.
        with pytest.raises(ValueError, match="cannot tell which gene"):
            reader_for(tmp_path, text, "data.tsv").parse()
        [call] = reader_for(tmp_path, "Gene\t" + HEADER + "CYP2C19\tS1\t*1/*2\tIM\t\t\n",
                            "data.tsv").parse()
        assert call.gene == "CYP2C19"

    def test_empty_gene_cell_does_not_fall_back_to_the_gene_column(self, tmp_path):
        text = "Gene\tgene\tGenotype\tPhenotype\n\tCYP2C9\t*1/*2\tIM\n"
        [call] = reader_for(tmp_path, text).parse()
        assert call.gene == "CYP2D6"

    @pytest.mark.parametrize("name, gene", [
        ("CYP2D6.tsv", "CYP2D6"), ("cyp2d6.sample1.tsv", "CYP2D6"), (".tsv", None),
        ("DATA.tsv", None), ("phenotypes", None), (" NUDT15 .tsv", "NUDT15"),
        ("HG00276.CYP2D6.tsv", "CYP2D6"), ("CYP2D6_results.tsv", "CYP2D6"),
        ("MT-RNR1.tsv.gz", "MT-RNR1"), ("CYP2D6.CYP2C19.tsv", None)])
    def test_gene_from_file_name(self, tmp_path, name, gene):
        assert reader_for(tmp_path, HEADER, name)._gene_from_file_name() == gene


class TestCells:
    def test_phenotype_only_and_empty_cells(self, tmp_path):
        calls = reader_for(tmp_path, "Sample\tPhenotype\nS1\tPM\n").parse()
        assert calls[0].diplotype is None and calls[0].phenotypes == ["PM"]
        [call] = reader_for(tmp_path, HEADER + "S1\t\t\t\t\n").parse()
        assert (call.diplotype, call.phenotypes, call.haplotypes) == ("", [""], [])

    def test_short_row_without_genotype_or_phenotype_is_skipped(self, tmp_path, warnings_log):
        calls = reader_for(tmp_path, HEADER + "S1\n\nS2\t*1/*1\tNM;;\n").parse()
        assert [(c.diplotype, c.phenotypes) for c in calls] == [("*1/*1", ["NM"])]
        assert [r.getMessage() for r in warnings_log()] == [
            "Skipping CYP2D6: no Genotype or Phenotype column"]

    def test_value_strips_semicolons_before_blanks(self):
        row = {"A": "*1/*2; ", "B": "Poor Metabolizer;;", "C": None, None: ["x"]}
        assert PyPgxTableReader._value(row, ("A",)) == "*1/*2;"
        assert PyPgxTableReader._value(row, ("C", "X", "B")) == "Poor Metabolizer"
        assert PyPgxTableReader._value(row, ("C",)) is None

    def test_header_names_are_looked_up_exactly(self, tmp_path):
        reader = reader_for(tmp_path, "S\t Genotype \tPhenotype\nS1\t*1/*4\tIM\n")
        assert PyPgxTableReader.is_pypgx_table(["S", " Genotype ", "Phenotype"])
        assert [c.diplotype for c in reader.parse()] == [None]


class TestTable:
    @pytest.mark.parametrize("header, expected", [
        ([" Genotype\t", "", "Phenotype "], True), ([], False), (["Genotype"], False),
        (["genotype", "Phenotype"], False)])
    def test_is_pypgx_table(self, header, expected):
        assert PyPgxTableReader.is_pypgx_table(header) is expected

    @pytest.mark.parametrize("text", ["", "\n\tGenotype\tPhenotype\n"])
    def test_no_header_row(self, tmp_path, text):
        with pytest.raises(ValueError, match=r"CYP2D6\.tsv: the table has no header row$"):
            reader_for(tmp_path, text).parse()

    @pytest.mark.parametrize("text", [HEADER, "Sample\tOther\nS1\tx\n"])
    def test_no_usable_rows(self, tmp_path, text):
        with pytest.raises(ValueError, match=r"CYP2D6\.tsv: no usable rows - a PyPGx table needs "
                           "a Genotype or Phenotype column and one data row$"):
            reader_for(tmp_path, text).parse()

    @pytest.mark.parametrize("name", ["CYP2D6.tsv", "data.tsv"])
    def test_a_malformed_row_further_down_is_reported_alone(self, tmp_path, warnings_log, name):
        # The whole table is read before its rows are looked at: the format error wins over
        # the missing gene, and the earlier rows' warnings are not logged.
        text = HEADER + "S1\nS2\t*1/*1\n" + "S3\t" + "x" * 200_000 + "\n"
        with pytest.raises(csv.Error, match="field larger than field limit"):
            reader_for(tmp_path, text, name).parse()
        assert warnings_log() == []

    def test_class_attributes(self):
        names = ["source_name", "GENOTYPE_COLUMN", "PHENOTYPE_COLUMN", "HAPLOTYPE_COLUMNS",
                 "GENE_COLUMNS"]
        assert [k for k in vars(PyPgxTableReader) if k in names] == names
        assert PyPgxTableReader.HAPLOTYPE_COLUMNS == ("Haplotype1", "Haplotype2")
        assert PyPgxTableReader.GENE_COLUMNS == ("Gene", "gene")
