"""The pbStarPhase diplotype TSV reader."""

import csv

import pytest

from OrvellePgxParser.Parsers import AlleleCallHarmonizer, StarPhaseTsvReader
from conftest import FIXTURES


def parse(tmp_path, text):
    path = tmp_path / "s.pbstarphase.tsv"
    path.write_text(text)
    return StarPhaseTsvReader(str(path)).parse()


class TestDocumentedShape:
    def test_every_row_after_the_header_comment(self):
        calls = StarPhaseTsvReader(str(FIXTURES / "sample.pbstarphase.tsv")).parse()
        assert [(c.gene, c.diplotype) for c in calls] == [
            ("CYP2B6", "Multiple/Multiple"), ("CYP2C19", "*1/*17"), ("CYP4F2", "*3/*4"),
            ("DPYD", "NO_MATCH/NO_MATCH"), ("HLA-A", "*31:01:02:01/*31:01:02:01"),
            ("MT-RNR1", "Reference")]
        assert calls[1].haplotypes == ["*1", "*17"] and calls[-1].haplotypes == ["Reference"]
        assert all(c.phenotypes == [] and c.source == "pbstarphase" for c in calls)


class TestRows:
    def test_cells_are_trimmed_and_extra_cells_ignored(self, tmp_path):
        [call] = parse(tmp_path, " CYP2D6 \t *1/*4 \tignored\textra\n")
        assert (call.gene, call.diplotype, call.haplotypes) == ("CYP2D6", "*1/*4", ["*1", "*4"])

    @pytest.mark.parametrize("diplotype, haplotypes", [
        ("*1 / *2", ["*1 ", " *2"]), ("*1//*2", ["*1", "*2"]), ("/", [])])
    def test_haplotypes_split_at_every_slash(self, tmp_path, diplotype, haplotypes):
        [call] = parse(tmp_path, f"A\t{diplotype}\n")
        assert call.diplotype == diplotype and call.haplotypes == haplotypes

    def test_first_line_without_hash_is_data(self, tmp_path):
        assert [c.gene for c in parse(tmp_path, "gene\tdiplotype\nA\t*1/*2\n")] == ["gene", "A"]

    def test_rows_without_a_diplotype_are_skipped(self, tmp_path, warnings_log):
        calls = parse(tmp_path, "A\nB\t  \n\n \t*1/*1\n  # note\t*1\nC\t*1/*2\n")
        assert [c.gene for c in calls] == ["C"]
        assert [r.getMessage() for r in warnings_log()] == [
            "Skipping A: no diplotype called", "Skipping B: no diplotype called"]

    def test_bom_and_quoted_cells(self, tmp_path):
        calls = parse(tmp_path, '\ufeffA\t"*1/""x"""\r\n"B\nC"\t*2\r\n')
        assert [(c.gene, c.diplotype) for c in calls] == [("A", '*1/"x"'), ("B\nC", "*2")]

    @pytest.mark.parametrize("text", ["", "#gene\tdiplotype\n# only comments\n", "A\t\nB\n"])
    def test_no_usable_rows(self, tmp_path, text):
        with pytest.raises(ValueError, match=r"s\.pbstarphase\.tsv: no usable rows$"):
            parse(tmp_path, text)


class TestBadInput:
    def test_enormous_field(self, tmp_path):
        with pytest.raises(csv.Error, match="field larger than field limit"):
            parse(tmp_path, "A\t" + "x" * 200_000 + "\n")

    def test_directory(self, tmp_path):
        (tmp_path / "d.tsv").mkdir()
        with pytest.raises(IsADirectoryError):
            StarPhaseTsvReader(str(tmp_path / "d.tsv")).parse()


class TestWriterShape:
    def test_brackets_around_a_tandem_are_not_part_of_the_name(self):
        # derived from pbStarPhase's v2.0.1 writer, which brackets a haplotype holding "+"
        calls = StarPhaseTsvReader(str(FIXTURES / "writer.pbstarphase.tsv")).parse()
        cyp2d6 = next(c for c in calls if c.gene == "CYP2D6")
        assert (cyp2d6.diplotype, cyp2d6.haplotypes) == ("*68 + *4/*4", ["*68 + *4", "*4"])
        outcomes = {c.gene: AlleleCallHarmonizer().normalize(c) for c in calls}
        assert outcomes["CYP2D6"].star_allele == "*68+*4/*4"
        assert [outcomes[g].star_allele for g in ("CYP2B6", "CYP2C19", "CYP2C8")] == [None] * 3

    @pytest.mark.parametrize("diplotype, expected", [
        ("*4/[*10 + *36]", "*4/*10 + *36"), (" [*1] / *2", "*1/ *2"), ("[*1/*2]", "[*1/*2]")])
    def test_only_a_whole_haplotype_in_brackets_is_unwrapped(self, tmp_path, diplotype, expected):
        assert parse(tmp_path, f"A\t{diplotype}\n")[0].diplotype == expected
