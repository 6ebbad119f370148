"""The gene call list reader: pbStarPhase's TSV and PharmCAT's outside-call file, one format."""

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
    def test_cells_are_trimmed(self, tmp_path):
        [call] = parse(tmp_path, " CYP2D6 \t *1/*4 \t\t\t\n")
        assert (call.gene, call.diplotype, call.haplotypes) == ("CYP2D6", "*1/*4", ["*1", "*4"])
        assert call.phenotypes == [] and call.activity_score is None

    @pytest.mark.parametrize("diplotype, haplotypes", [
        ("*1 / *2", ["*1 ", " *2"]), ("*1//*2", ["*1", "*2"]), ("/", [])])
    def test_haplotypes_split_at_every_slash(self, tmp_path, diplotype, haplotypes):
        [call] = parse(tmp_path, f"TPMT\t{diplotype}\n")
        assert call.diplotype == diplotype and call.haplotypes == haplotypes

    def test_a_header_line_is_never_a_gene(self, tmp_path, warnings_log):
        calls = parse(tmp_path, "gene\tdiplotype\nTPMT\t*1/*2\n")
        assert [c.gene for c in calls] == ["TPMT"]
        assert [r.getMessage() for r in warnings_log()] == [
            "Skipping gene: not a known gene symbol"]

    def test_rows_without_a_diplotype_are_skipped(self, tmp_path, warnings_log):
        calls = parse(tmp_path, "TPMT\nDPYD\t  \n\n \t*1/*1\n  # note\t*1\nNUDT15\t*1/*2\n")
        assert [c.gene for c in calls] == ["NUDT15"]
        assert [r.getMessage() for r in warnings_log()] == [
            "Skipping TPMT: no diplotype called", "Skipping DPYD: no diplotype called"]

    def test_bom_and_quoted_cells(self, tmp_path):
        calls = parse(tmp_path, '\ufeffTPMT\t"*1/""x"""\r\n"DPYD"\t*2\r\n')
        assert [(c.gene, c.diplotype) for c in calls] == [("TPMT", '*1/"x"'), ("DPYD", "*2")]

    @pytest.mark.parametrize("text", ["", "#gene\tdiplotype\n# only comments\n",
                                      "TPMT\t\nDPYD\n"])
    def test_no_usable_rows(self, tmp_path, text):
        with pytest.raises(ValueError, match=r"s\.pbstarphase\.tsv: no usable rows$"):
            parse(tmp_path, text)


class TestBadInput:
    def test_enormous_field(self, tmp_path):
        with pytest.raises(csv.Error, match="field larger than field limit"):
            parse(tmp_path, "TPMT\t" + "x" * 200_000 + "\n")

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
        assert parse(tmp_path, f"CYP2D6\t{diplotype}\n")[0].diplotype == expected


class TestOutsideCalls:
    def test_phenotype_and_activity_score_columns(self, tmp_path):
        # PharmCAT's outside-call format: a row may give a diplotype, a phenotype or a score
        calls = parse(tmp_path, "CYP2D6\t*1/*3\tIntermediate Metabolizer\t1.0\n"
                                "CYP2C9\t\t\t2.0\nHLA-B\t\t*57:01 positive\n")
        assert [(c.gene, c.diplotype, c.phenotypes, c.activity_score) for c in calls] == [
            ("CYP2D6", "*1/*3", ["Intermediate Metabolizer"], "1.0"),
            ("CYP2C9", None, ["2.0"], "2.0"),
            ("HLA-B", None, ["*57:01 positive"], None)]

    def test_the_phenotype_is_mapped_as_the_callers_term(self, tmp_path):
        rapid, score = parse(tmp_path, "CYP2C19\t*1/*17\tRapid Metabolizer\nCYP2C9\t\t\t2.0\n")
        harmonizer = AlleleCallHarmonizer()
        assert harmonizer.normalize(rapid).activity == "Rapid Metabolizer"
        # no table maps a bare score: it shows as unmapped rather than as a phenotype
        assert harmonizer.normalize(score).activity is None
        assert "CYP2C9\t2.0" in harmonizer.unmapped_terms


class TestRecogniseOrRefuse:
    @pytest.mark.parametrize("text", [
        "Sample\tGenotype\tFilter\n123456\t*1/*4\tPASS",  # Cyrius, no final newline
        "sample\tcall\nHG00436\t*2/*71\n",  # a StellarPGx summary
    ])
    def test_a_table_without_a_known_gene_is_refused(self, tmp_path, text):
        with pytest.raises(ValueError, match="not a recognised caller output"):
            parse(tmp_path, text)

    def test_a_wider_table_is_refused(self, tmp_path):
        # Aldy's table: a commented header, then thirteen cells a row
        row = "NA10860\tCYP2D6\t1\t*1/*4\t1;4\t0\t*1\t42522311\tSNP.CT\t6\t0\tNone\t\n"
        with pytest.raises(ValueError, match="not a recognised caller output"):
            parse(tmp_path, "#Sample\tGene\tSolutionID\tMajor\n" + row)

    def test_real_files(self, shared_samples):
        for path in (shared_samples / "pharmcat").glob("*outside*.tsv"):
            assert StarPhaseTsvReader(str(path)).parse(), path.name
        for path in [shared_samples / "cyrius" / "cyp2d6_parser.cyrius.tsv",
                     shared_samples / "aldy" / "cyp2d6_parser.aldy.tsv"]:
            with pytest.raises(ValueError, match=f"^{path}: not a recognised caller output"):
                StarPhaseTsvReader(str(path)).parse()
