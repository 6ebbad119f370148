"""workflow/Snakefile on the example cohort, in chunks: the same files as one cohort run, and
MultiQC's report when asked for."""

import os
import shutil
import subprocess
import sys

import pytest

from conftest import REPO
from test_cohort import EXAMPLE, cohort, files

# CI sets this: there the workflow engine is installed and the test must not skip.
REQUIRED = os.environ.get("ORVELLE_REQUIRE_SNAKEMAKE") == "1"


def test_chunked_workflow_equals_the_cohort_command(tmp_path):
    snakemake = shutil.which("snakemake", path=os.path.dirname(sys.executable))
    if snakemake is None and not REQUIRED:
        pytest.skip("snakemake is not installed")
    args = ["--manifest", str(EXAMPLE / "manifest" / "manifest.tsv"), str(EXAMPLE / "samples")]
    cohort("--output-dir", str(tmp_path / "cohort"), *args)
    subprocess.run([snakemake, "-s", str(REPO / "workflow" / "Snakefile"), "--cores", "2",
                    "--directory", str(tmp_path), "--quiet", "--config",
                    f"manifest={EXAMPLE / 'manifest' / 'manifest.tsv'}",
                    f"input_dirs=[{EXAMPLE / 'samples'}]", "out=workflow", "chunk_size=2", "multiqc=true"],
                   check=True, capture_output=True, timeout=300)
    assert files(tmp_path / "workflow") == files(tmp_path / "cohort")
    assert (tmp_path / "workflow" / "multiqc" / "multiqc_report.html").is_file()
