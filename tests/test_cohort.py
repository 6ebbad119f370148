"""The cohort command and its API: each sample's files as the single command writes them, the
summary, failures kept to their sample, and bad input refused with the sample and file named."""

import json
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

from OrvellePgxParser.OrvellePgxParser import __version__
from OrvellePgxParser.cohort import Sample, convert_cohort, samples_from_manifest
from OrvellePgxParser.cohort.tables import COHORT_FILES
from OrvellePgxParser.cohort.state import STATE_NAME
from conftest import REPO

EXAMPLE = REPO / "examples" / "cohort"


def cohort(*args, check=True):
    child = subprocess.run([sys.executable, "-m", "OrvellePgxParser.cohort", *args],
                           capture_output=True, text=True, timeout=120)
    if check:
        assert child.returncode == 0, child.stderr
    return child


def single(folder, out, *options):
    subprocess.run([sys.executable, "-m", "OrvellePgxParser", "--input-dir", str(folder),
                    "--output-dir", str(out), "--output-json", folder.name + ".json", *options],
                   check=True, capture_output=True)


def files(folder):
    """The outputs of a folder; the cohort's state (its own bookkeeping) left out."""
    return {p.name: p.read_bytes() for p in sorted(Path(folder).iterdir())
            if p.is_file() and p.name != STATE_NAME}


def summary(folder):
    lines = (Path(folder) / "cohort-summary.tsv").read_text().splitlines()
    return [dict(zip(lines[0].split("\t"), line.split("\t"))) for line in lines[1:]]


class TestOutputs:
    @pytest.mark.parametrize("options", [[], ["--gzip", "--genes", "CYP2C19", "NUDT15"]])
    def test_folder_samples_equal_the_single_command(self, tmp_path, options):
        cohort("--output-dir", str(tmp_path / "cohort"), str(EXAMPLE / "samples"), *options)
        for folder in (EXAMPLE / "samples").iterdir():
            single(folder, tmp_path / "single", *options)
        produced = files(tmp_path / "cohort")
        assert all(produced.pop(name) for name in COHORT_FILES)
        assert produced == files(tmp_path / "single")

    def test_summary_and_threads_change_nothing(self, tmp_path):
        args = [str(EXAMPLE / "samples"), "--manifest", str(EXAMPLE / "manifest" / "manifest.tsv")]
        cohort("--output-dir", str(tmp_path / "one"), "--jobs", "1", *args)
        cohort("--output-dir", str(tmp_path / "four"), "--jobs", "4", *args)
        assert files(tmp_path / "one") == files(tmp_path / "four")
        rows = summary(tmp_path / "one")
        assert [(r["sample"], r["status"], r["genes"]) for r in rows] == [
            ("S1", "ok", "9"), ("S2", "ok", "2"), ("M1", "ok", "2"), ("M2", "ok", "1"),
            ("M4", "ok", "1")]
        assert rows[0]["genes_without_activity"] == "3" and rows[0]["unmapped_terms"] == "1"

    def test_a_shared_cohort_table_gives_each_sample_its_own_row(self, tmp_path):
        child = cohort("--output-dir", str(tmp_path), "--manifest",
                       str(EXAMPLE / "manifest" / "manifest.tsv"))
        star = {s: {g["Id"]: g["StarAllele"] for g in json.loads((tmp_path / f"{s}.json").read_text())}
                for s in ("M1", "M2", "M4")}
        assert star == {"M1": {"CYP2C19": "*1/*17", "CYP2D6": "*1/*4"},
                        "M2": {"CYP2D6": "*2x2/*71"}, "M4": {"CYP2C19": "*2/*2"}}
        assert "WARNING M4: " in child.stderr and "no row for sample 'M4'" in child.stderr

    def test_log_lines_of_a_sample_stay_together(self, tmp_path):
        inputs = tmp_path / "in"
        for index in range(12):
            shutil.copytree(EXAMPLE / "samples" / "S1", inputs / f"S{index:02d}")
        child = cohort("--output-dir", str(tmp_path / "out"), "--jobs", "4", str(inputs))
        order = [line.split(":")[0].split()[1] for line in child.stderr.splitlines()
                 if line.startswith(("INFO", "WARNING"))]
        blocks = [s for i, s in enumerate(order) if i == 0 or order[i - 1] != s]
        assert sorted(blocks) == sorted(set(blocks)) and len(blocks) == 12

    def test_version(self):
        assert cohort("--version").stdout.strip() == f"orvelle-pgx-cohort {__version__}"


class TestFailures:
    def test_a_failed_sample_fails_alone(self, tmp_path):
        inputs = tmp_path / "in"
        shutil.copytree(EXAMPLE / "samples", inputs)
        broken = inputs / "S0" / "S0.pbstarphase.json"
        broken.parent.mkdir()
        broken.write_text('{"gene_details": ')
        (inputs / "S3").mkdir()  # no input at all
        undecodable = inputs / "S4" / "S4.diplotypes.csv"
        shutil.copytree(inputs / "S2", undecodable.parent)
        undecodable.write_bytes(b"Gene,Diplotype\n\xff,*1\n")
        child = cohort("--output-dir", str(tmp_path / "out"), str(inputs), check=False)
        assert child.returncode == 1
        assert [(r["sample"], r["status"]) for r in summary(tmp_path / "out")] == [
            ("S0", "failed"), ("S1", "ok"), ("S2", "ok"), ("S3", "failed"), ("S4", "failed")]
        tail = child.stderr.splitlines()[-4:]
        assert tail[0] == "orvelle-pgx-cohort: 3 of 5 samples failed:"
        assert tail[1].startswith(f"  S0: {broken} is not valid JSON")
        assert tail[2].startswith("  S3: No input files found.") and str(inputs / "S3") in tail[2]
        assert tail[3].startswith("  S4: 'utf-8' codec can't decode") and tail[3].endswith(
            f" ({undecodable})")
        assert (tmp_path / "out" / "S1.json").exists() and not (tmp_path / "out" / "S0.json").exists()

    def test_a_manifest_row_naming_a_missing_file(self, tmp_path):
        manifest = tmp_path / "manifest.tsv"
        shutil.copy(EXAMPLE / "manifest" / "M1.diplotypes.csv", tmp_path)
        manifest.write_text("sample\tpath\nA\tM1.diplotypes.csv\nB\tgone.csv\n")
        [a, b] = convert_cohort(samples_from_manifest(manifest), tmp_path / "out", progress=True)
        assert a.ok and (b.status, b.error) == ("failed", f"File not found: {tmp_path / 'gone.csv'}")

    @pytest.mark.parametrize("manifest, message", [
        (None, "manifest not found: "),
        ("sample\tfile\nA\ta.csv\n", "the header must name the columns sample and path"),
        ("sample\tpath\nA\ta.csv\nA\ta.csv\n", "line 3: sample A names"),
        ("sample\tpath\n\ta.csv\n", "line 2: a row needs a sample and a path"),
    ])
    def test_bad_manifests_stop_the_run_before_it_starts(self, tmp_path, manifest, message):
        path = tmp_path / "manifest.tsv"
        if manifest is not None:
            path.write_text(manifest)
        child = cohort("--output-dir", str(tmp_path / "out"), "--manifest", str(path), check=False)
        assert child.returncode == 1 and message in child.stderr
        assert not (tmp_path / "out").exists()

    def test_duplicate_samples_and_unsafe_names(self, tmp_path):
        for root in ("a", "b"):
            shutil.copytree(EXAMPLE / "samples" / "S2", tmp_path / root / "S2")
        child = cohort("--output-dir", str(tmp_path / "out"), str(tmp_path / "a"),
                       str(tmp_path / "b"), check=False)
        assert child.returncode == 1
        assert "duplicate sample S2 (folder " in child.stderr and str(tmp_path / "a") in child.stderr
        # x.provenance's result would be x's sidecar
        with pytest.raises(ValueError, match="duplicate sample x.provenance"):
            convert_cohort([("x", []), ("x.provenance", [])], tmp_path / "out")
        with pytest.raises(ValueError, match="cannot name a sample's output files"):
            convert_cohort([("../up", [])], tmp_path / "out")
        assert not (tmp_path / "out").exists()

    def test_an_output_folder_that_cannot_be_written(self, tmp_path):
        blocker = tmp_path / "file"
        blocker.write_text("")
        with pytest.raises(OSError, match="output folder cannot be written"):
            convert_cohort([Sample("S2", input_dir=str(EXAMPLE / "samples" / "S2"))],
                           blocker / "out")
