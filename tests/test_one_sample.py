"""One patient per result: inputs that name different samples are never merged, a table of
several samples gives the row of the sample the other inputs name, and a mistyped name or gene
is never turned into a folder scan or a silent gap."""

import json
import shutil
import subprocess
import sys

import pytest

from OrvellePgxParser.cohort import Sample, convert_cohort
from OrvellePgxParser.Models.RawCall import RawCall
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

from driver_support import diplotype_csv, driver, pharmcat_report

COMMAND = [sys.executable, "-m", "OrvellePgxParser"]


def run(*args, cwd):
    return subprocess.run([*COMMAND, *args], cwd=cwd, capture_output=True, text=True, timeout=60)


def results(path):
    return {e["Id"]: (e["StarAllele"], e["Activity"]) for e in json.loads(path.read_text())}


@pytest.fixture
def two_patients(shared_samples, tmp_path):
    """A PharmCAT output folder of a two-sample VCF, named as PharmCAT names each sample's files."""
    folder = tmp_path / "pharmcat"
    folder.mkdir()
    for sample, base in [("Sample_1", "pharmcat.example"), ("Sample_2", "pharmcat.example2")]:
        shutil.copy(shared_samples / "pharmcat" / f"v3.1.1.{base}.report.json",
                    folder / f"cohort.{sample}.report.json")
    return folder


class TestSamplesNamedByTheInputs:
    def test_a_folder_of_two_patients_is_refused_before_anything_is_written(self, two_patients):
        done = run("--input-dir", ".", "--output-dir", "out", cwd=two_patients)
        assert done.returncode == 1
        assert done.stderr.strip().splitlines()[-1] == (
            "orvelle-pgx-parser: error: inputs name more than one sample: 'Sample_1' "
            "(./cohort.Sample_1.report.json), 'Sample_2' (./cohort.Sample_2.report.json); "
            "convert them separately or name one with --sample")
        assert not (two_patients / "out").exists()

    def test_the_sample_named_takes_its_own_files_only(self, two_patients, tmp_path):
        done = run("--sample", "Sample_2", "--output-dir", "out", cwd=two_patients)
        assert done.returncode == 0, done.stderr
        assert ("cohort.Sample_1.report.json names sample 'Sample_1', not 'Sample_2'; its calls "
                "are left out") in done.stderr
        alone = tmp_path / "alone"
        alone.mkdir()
        shutil.copy(two_patients / "cohort.Sample_2.report.json", alone)
        assert run("--output-dir", "out", cwd=alone).returncode == 0
        chosen = results(two_patients / "out" / "orvelle_pgx.json")
        assert chosen == results(alone / "out" / "orvelle_pgx.json")
        # Sample_2 has no CYP2D6 call of its own; Sample_1's phenotype never fills it.
        assert chosen["CYP2D6"] == (None, None)
        sidecar = json.loads((two_patients / "out" / "orvelle_pgx.provenance.json").read_text())
        assert sidecar["sample"] == "Sample_2"
        assert set(sidecar["callers"]) == {"pharmcatVersion", "dataVersion", "title", "timestamp"}
        assert sidecar["callers"]["title"] == "pharmcat.example2"

    def test_reports_of_one_sample_agree(self, shared_samples, tmp_path):
        pharmcat = shared_samples / "pharmcat"
        parser = OrvellePgxParser({"input_files": [
            str(pharmcat / "v3.1.1.pharmcat.example.report.json"),
            str(pharmcat / "v3.1.1.pharmcat.example.phenotype.json")]})
        parser.parse_files()
        assert parser.named_sample == "Sample_1"

    def test_older_reports_are_told_apart_by_their_title(self, shared_samples):
        pharmcat = shared_samples / "pharmcat"
        parser = OrvellePgxParser({"input_files": [
            str(pharmcat / "v2.15.5.pharmcat.example.report.json"),
            str(pharmcat / "v2.15.5.pharmcat.example2.report.json")]})
        with pytest.raises(ValueError, match="'pharmcat.example' .*'pharmcat.example2'"):
            parser.parse_files()


class TestCohortTableBesideAReport:
    def test_the_table_gives_no_other_patients_row(self, shared_samples, tmp_path):
        # Sample_2 has no CYP2D6 call; the table's first row is HG00276's "*4/*5", Poor
        # Metabolizer, which must not become Sample_2's.
        report = shared_samples / "pharmcat" / "v3.1.1.pharmcat.example2.report.json"
        table = shutil.copy(shared_samples / "pypgx" / "CYP2D6.2021.tsv", tmp_path / "CYP2D6.tsv")
        done = run(str(report), str(table), "--output-dir", "out", cwd=tmp_path)
        assert done.returncode == 0, done.stderr
        assert "no row for sample 'Sample_2' among the table's 70 samples" in done.stderr
        assert results(tmp_path / "out" / "orvelle_pgx.json")["CYP2D6"] == (None, None)

    def test_the_table_gives_the_row_of_the_sample_the_report_names(self, shared_samples, tmp_path):
        pharmcat_report(tmp_path / "HG00436.pharmcat.report.json",
                        {"CYP2C19": ("*1/*1", ["Normal Metabolizer"])},
                        matcherMetadata={"sampleId": "HG00436"})
        shutil.copy(shared_samples / "pypgx" / "CYP2D6.2021.tsv", tmp_path / "CYP2D6.tsv")
        parser = OrvellePgxParser({"input_dir": str(tmp_path)})
        outcome = {r.gene: r for r in parser.parse_files()}["CYP2D6"]
        assert outcome.star_allele == "*2x2/*71"  # HG00436_PyPGx's row, by the table's suffix
        assert not any("samples; only sample" in w for w in outcome.warnings)
        assert parser.named_sample == "HG00436"

    def test_tables_alone_that_took_different_first_rows_are_refused(self, tmp_path):
        for gene, sample in [("CYP2D6", "A_PyPGx"), ("CYP3A5", "B_PyPGx")]:
            (tmp_path / f"{gene}.tsv").write_text(
                f"\tGenotype\tPhenotype\n{sample}\t*1/*1\tNormal Metabolizer\n")
        with pytest.raises(ValueError, match="inputs name more than one sample: 'A_PyPGx'"):
            OrvellePgxParser({"input_dir": str(tmp_path)}).parse_files()

    def test_what_a_gene_takes_from_a_later_call_brings_that_calls_warnings(self):
        first = RawCall(gene="CYP2D6", diplotype="*1/*4", phenotypes=[], source="pharmcat_report")
        later = RawCall(gene="CYP2D6", diplotype="*4/*1", phenotypes=["Poor Metabolizer"],
                        source="pypgx", warnings=["CYP2D6.tsv holds 2 samples; only sample 'A' was read"])
        (outcome,) = driver()._merge([first, later])
        assert outcome.activity == "Poor Metabolizer"
        assert "CYP2D6.tsv holds 2 samples; only sample 'A' was read" in outcome.warnings


class TestMistypedNames:
    def test_a_named_file_that_is_missing_never_becomes_a_folder_scan(self, tmp_path):
        diplotype_csv(tmp_path / "other.csv", [("CYP2D6", "*1/*4", "Poor Metabolizer")])
        done = run("--output-dir", "out", "patient7.json", cwd=tmp_path)
        assert done.returncode == 1
        assert done.stderr.strip().splitlines()[-1].endswith(
            "None of the input files was found: patient7.json")
        assert not (tmp_path / "out").exists()

    @pytest.mark.parametrize("value", ["patient7.pharmcat.phenotype.json", "x.TSV.GZ",
                                       "results.zip", "S1_cyp2d6.alleles", "S1.CYP2D6.aldy",
                                       "run1_cyp2d6_summary.txt", "existing"])
    def test_a_file_name_among_the_genes_is_a_usage_error(self, tmp_path, value):
        (tmp_path / "existing").write_text("")
        done = run("--genes", "DPYD", value, cwd=tmp_path)
        assert done.returncode == 2
        assert "put input files before --genes, or after --" in done.stderr
        assert not (tmp_path / "orvelle_pgx.json").exists()

    def test_a_requested_gene_without_a_result_is_named(self, tmp_path):
        pharmcat_report(tmp_path / "s.pharmcat.report.json",
                        {"CYP2D6": ("*1/*4", ["Intermediate Metabolizer"]),
                         "HLA-B": ("*15:02/*57:01", [])})
        done = run("--genes", "cyp2d6", "HLA-B", "NAT2", "--", "s.pharmcat.report.json", cwd=tmp_path)
        assert done.returncode == 0, done.stderr
        assert "Requested gene 'cyp2d6' gave no result; the inputs have 'CYP2D6'" in done.stderr
        assert "Requested gene 'NAT2' gave no result: no input reports it" in done.stderr
        assert list(results(tmp_path / "orvelle_pgx.json")) == ["HLA-B"]
        sidecar = json.loads((tmp_path / "orvelle_pgx.provenance.json").read_text())
        assert sidecar["missingGenes"] == ["NAT2", "cyp2d6"]
        assert "sample" not in sidecar  # the report names no sample


class TestCohort:
    def test_a_folder_holding_two_patients_fails_alone(self, two_patients, tmp_path):
        single = tmp_path / "single"
        single.mkdir()
        shutil.copy(two_patients / "cohort.Sample_1.report.json", single)
        outcomes = convert_cohort([Sample("mixed", input_dir=str(two_patients)),
                                   Sample("lab-42", input_dir=str(single))], tmp_path / "out")
        mixed, labelled = outcomes
        assert mixed.status == "failed"
        assert "inputs name more than one sample: 'Sample_1'" in mixed.error
        assert not (tmp_path / "out" / "mixed.json").exists()
        # A lab's own name for the sample is no disagreement among the files: a warning only.
        assert labelled.status == "ok"
        sidecar = json.loads((tmp_path / "out" / "lab-42.provenance.json").read_text())
        assert sidecar["sample"] == "Sample_1"
