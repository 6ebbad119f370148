"""PharmCAT's calls-only report (*.report.tsv) read as its report JSON is: the same object for
every gene both hold, the choice among several candidates, and one sample of a merged file."""

import json

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import PgxReaderFactory, PharmcatReportTsvReader

HEADER = ("Gene\tSource Diplotype\tPhenotype\tActivity Score\tHaplotype 1\tHaplotype 1 Function\t"
          "Haplotype 1 Activity Value\tHaplotype 2\tHaplotype 2 Function\t"
          "Haplotype 2 Activity Value\tOutside Call\tMatch Score\tMissing positions\t"
          "Recommendation Lookup Diplotype\tRecommendation Lookup Phenotype\t"
          "Recommendation Lookup Activity Score")


def row(gene, source, phenotype="", score="", haplotypes=("", ""), recommendation=("", "", "")):
    return "\t".join([gene, source, phenotype, score, haplotypes[0], "", "", haplotypes[1], "", "",
                      "no", "0", "no", *recommendation])


def report(tmp_path, rows, samples=None, name="s.report.tsv"):
    """A report of `rows`; with `samples`, the merged form: one sample name per row."""
    header = HEADER if samples is None else "Sample ID\t" + HEADER
    lines = rows if samples is None else [f"{s}\t{r}" for s, r in zip(samples, rows)]
    path = tmp_path / name
    path.write_text("PharmCAT v3.1.0-2-g0b250f81\n" + "\n".join([header, *lines]) + "\n")
    return path


def calls(path, **kwargs):
    return [(c.gene, c.diplotype, c.phenotypes, c.activity_score)
            for c in PharmcatReportTsvReader(str(path), **kwargs).parse()]


class TestSameRun:
    @pytest.mark.parametrize("release", ["v3.0.1", "v3.1.1"])
    @pytest.mark.parametrize("sample", ["example", "example2"])
    def test_every_gene_gives_the_report_jsons_object(self, shared_samples, tmp_path, release,
                                                      sample):
        base = shared_samples / "pharmcat" / f"{release}.pharmcat.{sample}.report"
        out = {}
        for kind in ("tsv", "json"):
            OrvellePgxParser({"input_files": [f"{base}.{kind}"], "output_dir": str(tmp_path),
                              "output_json": f"{kind}.json"}).run()
            out[kind] = {r["Id"]: r for r in json.loads((tmp_path / f"{kind}.json").read_text())}
        shared = out["tsv"].keys() & out["json"].keys()
        assert len(shared) >= 18
        assert {g: out["tsv"][g] for g in shared} == {g: out["json"][g] for g in shared}
        # the table leaves out the genes without allele definitions, and CYP2D6 without an
        # outside call; 3.0 adds NAT2
        assert out["json"].keys() - out["tsv"].keys() <= {"HLA-A", "HLA-B", "MT-RNR1", "CYP2D6"}
        assert out["tsv"].keys() - out["json"].keys() <= {"NAT2"}

    def test_the_version_line_goes_into_the_sidecar(self, shared_samples):
        path = shared_samples / "pharmcat" / "v3.1.1.pharmcat.example.report.tsv"
        assert PharmcatReportTsvReader(str(path)).read_versions() == {
            "pharmcatVersion": "v3.1.0-2-g0b250f81"}


class TestCells:
    def test_as_the_report_json_gives_them(self, tmp_path):
        path = report(tmp_path, [
            row("CYP2C9", "*1/*2", "Intermediate Metabolizer", "1.5", ("*1", "*2")),
            row("CYP2D6", "*1/*3", "Intermediate Metabolizer", "1.0", ("*1", "CYP2D6*3")),
            row("IFNL3", "rs12979860 reference (C)/rs12979860 variant (T)", " "),
            row("CYP4F2", "no call"),
            row("SLCO1B1", "*1/*5", "Decreased Function, Poor Function"),
        ])
        assert calls(path) == [
            ("CYP2C9", "*1/*2", ["Intermediate Metabolizer"], "1.5"),
            ("CYP2D6", "*1/*3", ["Intermediate Metabolizer"], "1.0"),
            ("IFNL3", "rs12979860 reference (C)/rs12979860 variant (T)", [], None),
            ("CYP4F2", "Unknown/Unknown", [], None),
            ("SLCO1B1", "*1/*5", ["Decreased Function", "Poor Function"], None)]
        # PharmCAT 3.0 puts the gene before the second haplotype's name
        assert PharmcatReportTsvReader(str(path)).parse()[1].haplotypes == ["*1", "*3"]

    def test_candidates_joined_by_or(self, tmp_path, warnings_log):
        path = report(tmp_path, [
            row("CYP2B6", "*4/[*6 + *10] OR *6/[*4 + *10]",
                "Intermediate Metabolizer / Poor Metabolizer"),
            row("CYP2C19", "*1/*2 OR *1/*3", "Intermediate Metabolizer / Intermediate Metabolizer"),
        ])
        cyp2b6, cyp2c19 = PharmcatReportTsvReader(str(path)).parse()
        assert (cyp2b6.diplotype, cyp2b6.phenotypes, cyp2b6.ambiguous_phenotype) == (
            "*4/[*6 + *10]", ["Intermediate Metabolizer"], True)
        assert cyp2b6.warnings == [
            "2 source diplotypes reported ('*4/[*6 + *10]': ['Intermediate Metabolizer'], "
            "'*6/[*4 + *10]': ['Poor Metabolizer']); using the first without an Activity, as "
            "their phenotypes differ"]
        assert (cyp2c19.diplotype, cyp2c19.ambiguous_phenotype) == ("*1/*2", False)
        assert cyp2c19.warnings == [
            "2 source diplotypes reported ('*1/*2', '*1/*3'); using the first"]
        assert [r.getMessage() for r in warnings_log()] == [
            "CYP2B6 has 2 source diplotypes; using the first",
            "CYP2C19 has 2 source diplotypes; using the first"]

    def test_single_haplotypes_take_the_recommendation_columns(self, tmp_path):
        path = report(tmp_path, [row(
            "DPYD", "c.1898delC (*3) AND c.295_298delTCAT (*7)",
            recommendation=("c.1898delC (*3)/c.295_298delTCAT (*7)", "Poor Metabolizer", "0.0"))])
        [call] = PharmcatReportTsvReader(str(path)).parse()
        assert (call.diplotype, call.phenotypes, call.activity_score) == (
            "c.1898delC (*3)/c.295_298delTCAT (*7)", ["Poor Metabolizer"], "0.0")
        assert call.warnings[0].startswith(
            "source haplotypes 'c.1898delC (*3)', 'c.295_298delTCAT (*7)'; PharmCAT bases its "
            "guidance on 'c.1898delC (*3)/c.295_298delTCAT (*7)' (lowest function per strand")

    @pytest.mark.parametrize("gene, source, recommendation, star, activity", [
        # PharmCAT issue #234, a real 3.2.0 row: two DPYD variants in cis.
        ("DPYD", "Reference/[c.85T>C (*9A) + c.496A>G]",
         ("Reference/c.85T>C (*9A)", "Normal Metabolizer", "2.0"),
         "Reference/[c.85T>C (*9A)+c.496A>G]", "Normal Metabolizer"),
        # Three or more CYP2D6 copies, looked up as x≥3 (an outside call as pbStarPhase writes it).
        ("CYP2D6", "*1/*2x3", ("*1/*2x≥3", "Ultrarapid Metabolizer", "≥3.0"),
         "*1/*2x3", "Ultrarapid Metabolizer")])
    def test_an_inferred_recommendation_gives_the_activity_as_the_json_does(
            self, tmp_path, gene, source, recommendation, star, activity):
        path = report(tmp_path, [row(gene, source, "Indeterminate", recommendation=recommendation)])
        [result] = OrvellePgxParser({"input_files": [str(path)]}).parse_files()
        assert (result.star_allele, result.activity) == (star, activity)
        assert any("PharmCAT bases its guidance on" in w for w in result.warnings)


class TestMerged:
    ROWS = [row("CYP2C19", "*1/*17", "Rapid Metabolizer"), row("TPMT", "*1/*3A"),
            row("CYP2C19", "*2/*2", "Poor Metabolizer")]

    def test_each_sample_takes_only_its_own_rows(self, tmp_path):
        path = report(tmp_path, self.ROWS, samples=["S1", "S1", "S2"], name="merged.report.tsv")
        reader = PharmcatReportTsvReader(str(path), sample="S2")
        assert [(c.gene, c.diplotype) for c in reader.parse()] == [("CYP2C19", "*2/*2")]
        assert reader.sample_read == "S2"
        results = OrvellePgxParser({"input_files": [str(path)]}).parse_files()
        assert [(r.gene, r.star_allele) for r in results] == [("CYP2C19", "*1/*17"),
                                                              ("TPMT", "*1/*3A")]
        assert all("merged.report.tsv holds 2 samples; only sample 'S1' was read" in r.warnings
                   for r in results)

    def test_the_driver_reads_the_requested_sample(self, tmp_path, warnings_log):
        path = report(tmp_path, self.ROWS, samples=["S1", "S1", "S2"], name="merged.report.tsv")
        [cyp2c19] = OrvellePgxParser({"input_files": [str(path)], "sample": "S2"}).parse_files()
        assert (cyp2c19.gene, cyp2c19.star_allele) == ("CYP2C19", "*2/*2")
        assert OrvellePgxParser({"input_files": [str(path)], "sample": "S3"}).parse_files() == []
        assert any("no row for sample 'S3'" in r.getMessage() for r in warnings_log())

    def test_a_single_sample_report_names_none(self, tmp_path):
        reader = PharmcatReportTsvReader(str(report(tmp_path, self.ROWS[:2])), sample="S9")
        assert len(reader.parse()) == 2 and reader.sample_read is None


class TestRecognise:
    def test_by_its_first_two_lines(self, tmp_path):
        path = report(tmp_path, [row("TPMT", "*1/*1")], name="anything.tsv")
        assert type(PgxReaderFactory.get_parser(str(path))) is PharmcatReportTsvReader
        path.write_text(path.read_text().replace("PharmCAT ", "PharmGKB "))
        assert type(PgxReaderFactory.get_parser(str(path))) is not PharmcatReportTsvReader

    def test_rows_of_unknown_genes(self, tmp_path, warnings_log):
        path = report(tmp_path, [row("Sample_1", "*1/*1"), row("TPMT", "*1/*3A")])
        reader = PharmcatReportTsvReader(str(path))
        assert [c.gene for c in reader.parse()] == ["TPMT"]
        assert reader.unknown_genes == ["Sample_1"]
        path = report(tmp_path, [row("Sample_1", "*1/*1")])
        with pytest.raises(ValueError, match="not a recognised caller output"):
            PharmcatReportTsvReader(str(path)).parse()
