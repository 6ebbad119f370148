"""A PyPGx table that holds several samples: the driver reads one sample's rows, never a mix,
and the reader takes a named sample's rows by the documented matching rule."""

import json

import pytest

from OrvellePgxParser.Parsers import PyPgxTableReader
from driver_support import RULES, driver

HEADER = "\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\n"


def table(path, rows, header=HEADER):
    path.write_text(header + "".join("\t".join(row) + "\n" for row in rows))
    return str(path)


def diplotypes(path, sample):
    return [c.diplotype for c in PyPgxTableReader(path, sample=sample).parse()]


class TestSingleSampleRun:
    def test_published_cohort_table_gives_the_first_sample_and_says_so(self, shared_samples,
                                                                      tmp_path):
        path = tmp_path / "CYP2D6.tsv"
        path.write_bytes((shared_samples / "pypgx" / "CYP2D6.2021.tsv").read_bytes())
        parser = driver({"input_files": [str(path)], "output_dir": str(tmp_path / "out")})
        parser.run()
        result = json.loads((tmp_path / "out" / "orvelle_pgx.json").read_text())
        assert result == [{"Id": "CYP2D6", "Name": "CYP2D6", "StarAllele": "*4/*5",
                           "Activity": "Poor Metabolizer"}]
        sidecar = json.loads((tmp_path / "out" / "orvelle_pgx.provenance.json").read_text())
        assert sidecar["genes"][0]["warnings"] == [
            "CYP2D6.tsv holds 70 samples; only sample 'HG00276_PyPGx' was read"]

    def test_fallback_never_takes_another_samples_activity(self, tmp_path):
        # The first sample's phenotype has no mapping; the second's would fill the gap.
        path = table(tmp_path / "CYP2C19.tsv", [("A_PyPGx", "*2/*2", "Odd", "*2", "*2"),
                                                ("B_PyPGx", "*1/*1", "Normal Metabolizer",
                                                 "*1", "*1")])
        mapped = {**RULES, "passthrough_sources": []}
        [result] = driver({"input_files": [path]}, rules=mapped).parse_files()
        assert (result.star_allele, result.activity) == ("*2/*2", None)
        assert result.warnings[0] == "CYP2C19.tsv holds 2 samples; only sample 'A_PyPGx' was read"

    def test_one_sample_table_is_read_as_before(self, tmp_path):
        path = table(tmp_path / "CYP2C19.tsv", [("A", "*1/*1", "Normal Metabolizer", "*1", "*1")])
        [result] = driver({"input_files": [path]}).parse_files()
        assert result.warnings == [] and result.activity == "Normal Metabolizer"


class TestNamedSample:
    def test_published_tables_by_name_with_or_without_suffix(self, shared_samples, tmp_path):
        chip = str(shared_samples / "pypgx" / "generated" / "CYP3A5.coriell-affy-chip.tsv")
        assert diplotypes(chip, "HG00283") == diplotypes(chip, "HG00283_X") == ["*3/*3"]
        hashed = str(shared_samples / "pypgx" / "generated" / "CYP2D6.getrm-wgs-vcf-only.tsv")
        assert diplotypes(hashed, "021ab129bb594be5804b02e08e14d93d") == ["*4/*4"]
        assert diplotypes(hashed, "021ab129") == []

    @pytest.mark.parametrize("rows, sample, expected", [
        # the exact name wins over the suffixed form
        ([("S1_PyPGx", "*1/*2"), ("S1_PyPGx_PyPGx", "*3/*3")], "S1_PyPGx", ["*1/*2"]),
        # no suffix shared by every name: the exact name alone
        ([("S1_rep", "*1/*2"), ("S2", "*3/*3")], "S1", []),
        # a longer name that begins with the sample's is another sample
        ([("S1_rep_PyPGx", "*1/*2"), ("S1_PyPGx", "*3/*3")], "S1", ["*3/*3"]),
        ([("S1_rep_PyPGx", "*1/*2"), ("S1_PyPGx", "*3/*3")], "S1_rep", ["*1/*2"]),
        # several rows of one sample (one per gene) are all its own
        ([("S1_X", "*1/*2"), ("S2_X", "*2/*2"), ("S1_X", "*4/*4")], "S1", ["*1/*2", "*4/*4"]),
    ])
    def test_matching_rule(self, tmp_path, rows, sample, expected):
        path = table(tmp_path / "CYP2D6.tsv", [(name, genotype, "IM") for name, genotype in rows],
                     header="\tGenotype\tPhenotype\n")
        assert diplotypes(path, sample) == expected

    def test_a_table_without_a_sample_column_is_read_whole(self, tmp_path):
        path = table(tmp_path / "data.tsv", [("CYP2D6", "*1/*2", "IM"), ("CYP2C19", "*2/*2", "PM")],
                     header="Gene\tGenotype\tPhenotype\n")
        assert diplotypes(path, "S1") == ["*1/*2", "*2/*2"]

    def test_a_sample_without_a_row_is_a_warning_not_an_error(self, tmp_path, warnings_log):
        many = table(tmp_path / "CYP2D6.tsv", [("A", "*1/*2", "IM", "", ""),
                                               ("B", "*1/*1", "NM", "", "")])
        one = table(tmp_path / "CYP2C9.tsv", [("A_PyPGx", "*1/*2", "IM", "", "")])
        results = driver({"input_files": [many, one], "sample": "C"}).parse_files()
        assert results == []
        assert [r.getMessage() for r in warnings_log()] == [
            f"{many}: no row for sample 'C' among the table's 2 samples",
            f"{one}: no row for sample 'C'; the table holds only sample 'A_PyPGx'"]

    def test_unusable_rows_of_the_sample_still_fail_the_table(self, tmp_path):
        path = table(tmp_path / "CYP2D6.tsv", [("A",), ("B", "*1/*1", "NM", "", "")])
        with pytest.raises(ValueError, match="no usable rows"):
            PyPgxTableReader(path, sample="A").parse()
        assert PyPgxTableReader(path, sample="A").sample == "A"
        assert PyPgxTableReader(path).sample is None
