"""The cohort's tables against the per-sample results and sidecars they summarise, MultiQC's own
reading of its custom-content files, and the workflow's join of chunk tables."""

import json
import shutil
import subprocess
import sys

import pytest

from OrvellePgxParser.cohort import convert_cohort, samples_from_folders, samples_from_manifest
from OrvellePgxParser.cohort.tables import (ACTIVITIES_NAME, COHORT_FILES, MULTIQC_GAPS_NAME,
                                            MULTIQC_SAMPLES_NAME, STAR_ALLELES_NAME,
                                            WARNINGS_NAME, join_cohort_tables, read_head)
from test_cohort import EXAMPLE, cohort, files


def read_table(path):
    """The comment lines, the column names and the rows (dicts) of a cohort table."""
    with open(path, encoding="utf-8", newline="") as handle:
        header, columns = read_head(handle)
        rows = [dict(zip(columns, line.rstrip("\n").split("\t"))) for line in handle]
    return header, columns, rows


def example_samples():
    return (samples_from_folders([str(EXAMPLE / "samples")])
            + samples_from_manifest(str(EXAMPLE / "manifest" / "manifest.tsv")))


@pytest.fixture
def converted(tmp_path):
    """The example cohort with a broken sample, converted with --gzip: (output folder, the
    converted samples' results and sidecars by sample)."""
    inputs = tmp_path / "in"
    shutil.copytree(EXAMPLE / "samples", inputs)
    (inputs / "S0").mkdir()
    (inputs / "S0" / "S0.pbstarphase.json").write_text('{"gene_details": ')
    out = tmp_path / "out"
    child = cohort("--output-dir", str(out), "--gzip", "--manifest",
                   str(EXAMPLE / "manifest" / "manifest.tsv"), str(inputs), check=False)
    assert child.returncode == 1
    outputs = {}
    for sample in ("S1", "S2", "M1", "M2", "M4"):
        result = json.loads(subprocess.run(["gzip", "-dc", str(out / f"{sample}.json.gz")],
                                           capture_output=True, check=True).stdout)
        outputs[sample] = result, json.loads((out / f"{sample}.provenance.json").read_text())
    return out, outputs


class TestTables:
    def test_matrices_hold_each_samples_result(self, converted):
        out, outputs = converted
        for name, member in ((STAR_ALLELES_NAME, "StarAllele"), (ACTIVITIES_NAME, "Activity")):
            _, columns, rows = read_table(out / name)
            genes = sorted({g["Id"] for result, _ in outputs.values() for g in result})
            assert columns == ["sample", *genes]
            assert [row["sample"] for row in rows] == list(outputs)  # S0 failed: no row
            for row in rows:
                cells = {g["Id"]: g[member] or "" for g in outputs[row["sample"]][0]}
                assert row == {"sample": row["sample"], **dict.fromkeys(genes, ""), **cells}

    def test_warnings_are_the_sidecars_warnings(self, converted):
        out, outputs = converted
        _, columns, rows = read_table(out / WARNINGS_NAME)
        assert columns == ["sample", "gene", "caller", "warning"]
        expected = [{"sample": sample, "gene": g["Id"], "caller": g["source"], "warning": w}
                    for sample, (_, sidecar) in outputs.items() for g in sidecar["genes"]
                    for w in g["warnings"]]
        assert rows == expected and expected

    def test_a_failed_sample_is_listed_for_multiqc_without_counts(self, converted):
        out, _ = converted
        _, _, rows = read_table(out / MULTIQC_SAMPLES_NAME)
        assert rows[0] == {"Sample": "S0", "status": "failed", "genes": "", "gaps": "",
                           "unmapped_terms": ""}
        assert rows[1] == {"Sample": "S1", "status": "ok", "genes": "9", "gaps": "3",
                           "unmapped_terms": "1"}

    def test_chunk_tables_join_into_the_tables_of_one_run(self, tmp_path):
        samples = example_samples()
        convert_cohort(samples, tmp_path / "whole", jobs=1)
        chunks = [tmp_path / "a", tmp_path / "b", tmp_path / "c"]
        for chunk, part in zip(chunks, (samples[:1], samples[1:4], samples[4:])):
            convert_cohort(part, chunk, jobs=1)
        join_cohort_tables(chunks, tmp_path / "joined")
        whole = {name: data for name, data in files(tmp_path / "whole").items()
                 if name in COHORT_FILES}
        assert files(tmp_path / "joined") == whole


def test_multiqc_shows_the_samples_table_and_the_gap_heatmap(tmp_path):
    out = tmp_path / "out"
    convert_cohort(example_samples(), out)
    subprocess.run([sys.executable, "-m", "multiqc", "--no-ansi", "--quiet", "--outdir",
                    str(tmp_path / "report"), str(out)], check=True, capture_output=True,
                   timeout=300)
    data = json.loads((tmp_path / "report" / "multiqc_data" / "multiqc_data.json").read_text())

    table = data["report_saved_raw_data"]["multiqc_orvelle_pgx_samples_table"]
    _, _, samples = read_table(out / MULTIQC_SAMPLES_NAME)
    assert table == {row["Sample"]: {"status": row["status"], "genes": int(row["genes"]),
                                     "gaps": int(row["gaps"]),
                                     "unmapped_terms": int(row["unmapped_terms"])}
                     for row in samples}
    assert table["S1"]["gaps"] == 3

    heatmap = data["report_plot_data"]["orvelle_pgx_gaps_heatmap"]["datasets"][0]
    _, columns, rows = read_table(out / MULTIQC_GAPS_NAME)
    assert heatmap["xcats"] == columns[1:] and heatmap["ycats"] == [r["sample"] for r in rows]
    results = {s: json.loads((out / f"{s}.json").read_text()) for s in heatmap["ycats"]}
    expected = [[next(((g["StarAllele"] is None) + (g["Activity"] is None)
                       for g in results[sample] if g["Id"] == gene), "")
                 for gene in heatmap["xcats"]] for sample in heatmap["ycats"]]
    assert heatmap["rows"] == expected
    assert expected[0][heatmap["xcats"].index("VKORC1")] == 1  # S1's VKORC1 has no Activity
