"""The merge and the normaliser with the shipped tables on real caller output: no term of one
diplotype on another, no placeholder read as a result, no mixed MT-RNR1 pair cut to its first
allele."""

import json

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

from driver_support import pharmcat_report

# A PyPGx data.tsv as PyPGx 0.27 writes it from chip input: the index column without a name,
# sample IDs with their suffix, ";"-terminated candidate lists, an empty CNV cell.
PYPGX_HEADER = "\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\tAlternativePhase\tVariantData\tCNV\n"


def pypgx_table(path, genotype, phenotype, haplotypes=("*1;", "*1;")):
    path.write_text(PYPGX_HEADER + f"HG00279_X\t{genotype}\t{phenotype}\t{haplotypes[0]}\t"
                    f"{haplotypes[1]}\t;\t{haplotypes[0]}default;\t\n")
    return path


def convert(*paths):
    results = OrvellePgxParser({"input_files": [str(p) for p in paths]}).parse_files()
    return {r.gene: r for r in results}


def real_pypgx(shared_samples, tmp_path, gene):
    """A generated table under its gene's name, as the pipeline renames data.tsv."""
    path = tmp_path / f"{gene}.tsv"
    path.write_bytes((shared_samples / "pypgx" / "generated" / f"{gene}.coriell-affy-chip.tsv")
                     .read_bytes())
    return path


class TestPharmcatWithPyPgx:
    def test_real_files_keep_pharmcats_diplotype_without_a_foreign_term(self, shared_samples,
                                                                         tmp_path):
        report = shared_samples / "pharmcat" / "v3.1.1.pharmcat.example.report.json"
        tables = [real_pypgx(shared_samples, tmp_path, g) for g in ["CYP4F2", "VKORC1", "NAT2"]]
        results = convert(report, *tables)
        # CYP4F2: PharmCAT *1/*1 without phenotype; PyPGx's first sample *1/*3 with its placeholder.
        assert (results["CYP4F2"].star_allele, results["CYP4F2"].activity) == ("*1/*1", None)
        assert (results["VKORC1"].star_allele, results["VKORC1"].activity) == (
            "Reference/Reference", None)
        assert (results["NAT2"].star_allele, results["NAT2"].activity) == (
            "*1/*1", "Rapid Metabolizer")
        assert not any("taken from pypgx" in w for r in results.values() for w in r.warnings)

    def test_a_real_pypgx_term_of_another_diplotype_is_withheld(self, tmp_path):
        report = pharmcat_report(tmp_path / "s.pharmcat.report.json", {"CYP2C9": ("*1/*1", [])})
        table = pypgx_table(tmp_path / "CYP2C9.tsv", "*1/*3", "Intermediate Metabolizer",
                            ("*3;", "*1;"))
        result = convert(report, table)["CYP2C9"]
        assert (result.star_allele, result.activity) == ("*1/*1", None)
        assert result.warnings[-1] == ("no usable phenotype from pharmcat_report; not taken from "
                                       "pypgx, which called '*1/*3' instead of '*1/*1'")


class TestPyPgxAlone:
    def test_placeholder_genes_lose_only_their_activity(self, shared_samples, tmp_path):
        tables = [real_pypgx(shared_samples, tmp_path, g) for g in ["CYP4F2", "CYP2B6", "DPYD"]]
        results = convert(*tables)
        assert (results["CYP4F2"].star_allele, results["CYP4F2"].activity) == ("*1/*3", None)
        assert "pypgx has no phenotype for CYP4F2; 'Indeterminate' is its placeholder" in (
            results["CYP4F2"].warnings)
        assert (results["CYP2B6"].star_allele, results["CYP2B6"].activity) == (
            "*9/*9", "Poor Metabolizer")
        assert (results["DPYD"].star_allele, results["DPYD"].activity) == (
            "c.85T>C (*9A)/c.85T>C (*9A)", "Normal Metabolizer")

    def test_genotype_indeterminate_is_no_call(self, tmp_path):
        table = pypgx_table(tmp_path / "CYP2D6.tsv", "Indeterminate", "Indeterminate")
        result = convert(table)["CYP2D6"]
        assert (result.star_allele, result.activity) == (None, None)
        assert result.warnings == ["no diplotype called: pypgx wrote 'Indeterminate'"]

    def test_pharmcat_indeterminate_stays_a_result(self, tmp_path):
        report = pharmcat_report(tmp_path / "s.pharmcat.report.json",
                                 {"CYP2C9": ("*1/*61", ["Indeterminate"])})
        assert convert(report)["CYP2C9"].activity == "Indeterminate"


class TestMitochondrialPairs:
    @pytest.mark.parametrize("diplotype, expected", [
        ("Reference/Reference", "Reference"),
        ("Reference/m.1555A>G", None),
        ("m.1555A>G/Reference", None),
    ])
    def test_pbstarphase_pairs(self, tmp_path, diplotype, expected):
        # pbStarPhase's JSON writes MT-RNR1 as a pair, like every other gene.
        hap1, hap2 = diplotype.split("/")
        path = tmp_path / "s.pbstarphase.json"
        path.write_text(json.dumps({"pbstarphase_version": "2.0.0", "gene_details": {"MT-RNR1": {
            "diplotypes": [{"hap1": hap1, "hap2": hap2, "diplotype": diplotype}]}}}))
        result = convert(path)["MT-RNR1"]
        assert result.star_allele == expected
        warned = "single-allele gene reported as a diplotype: " + repr(diplotype) in result.warnings
        assert warned is (expected is None)
