"""tests/test_faults.py: faults of the file system. Every one ends in the host's error for the
path at fault and leaves no torn file and no temporary file. A run whose result cannot be
written leaves its output folder exactly as it was; one whose sidecar cannot be written keeps
the new result and no sidecar that describes another result. The faults are made so that they
bind root too (the suite runs as root in CI, where permission bits stop nothing)."""

import errno
import json
import os
import stat
import subprocess
import sys
from pathlib import Path

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import PgxReaderFactory

from driver_support import diplotype_csv

# Reading this file fails with EIO at its first byte: nothing is mapped at address 0.
UNREADABLE = "/proc/self/mem"

# Forty known gene symbols, in code-point order: a result of some size.
GENES = ["ABCB1", "ABCG2", "ACYP2", "ADRA2A", "ADRB2", "ANKK1", "APOE", "ATM", "BCHE", "BDNF",
         "CACNA1S", "CFTR", "COMT", "CYP17A1", "CYP19A1", "CYP1A1", "CYP1A2", "CYP1B1",
         "CYP26A1", "CYP2A13", "CYP2A6", "CYP2A7", "CYP2B6", "CYP2B7", "CYP2C19", "CYP2C8",
         "CYP2C9", "CYP2D6", "CYP2D7", "CYP2E1", "CYP2F1", "CYP2J2", "CYP2R1", "CYP2S1", "CYP2W1",
         "CYP3A4", "CYP3A43", "CYP3A5", "CYP3A7", "CYP4A11"]
READER_INPUTS = {
    "s.pharmcat.report.json": '{"pharmcatVersion": "3.1", "genes": {}}',
    "s.pharmcat.phenotype.json": '{"geneReports": {}}',
    "s.pbstarphase.json": '{"gene_details": {}}',
    "upload.json": '[{"Gene": "CYP2D6", "Diplotype": "*1/*4"}]',
    "s.pbstarphase.tsv": "CYP2D6\t*1/*4\n",
    "CYP2D6.tsv": "\tGenotype\tPhenotype\nS1\t*1/*4\tIM\n",
    "s.csv": "Gene,Diplotype\nCYP2D6,*1/*4\n",
}


def snapshot(folder: Path) -> dict:
    """Every entry under `folder`: file contents, link targets, and folders."""
    entries = {}
    for path in sorted(folder.rglob("*")):
        if path.is_symlink():
            entries[path] = ("link", os.readlink(path))
        elif path.is_dir():
            entries[path] = ("dir",)
        else:
            entries[path] = ("file", path.read_bytes())
    return entries


def assert_new_result_alone(out, sidecar_link):
    """The run's result replaced the old one; the sidecar link stands untouched; no sidecar
    from an earlier run and no temporary file remain."""
    assert json.loads((out / "orvelle_pgx.json").read_text())[0]["Id"] == GENES[0]
    assert os.readlink(out / "orvelle_pgx.provenance.json") == sidecar_link
    assert not list(out.glob("*.tmp-*"))


def assert_os_error(error, code, filename):
    assert isinstance(error, OSError)
    assert (error.errno, error.filename) == (code, str(filename))


@pytest.fixture
def sample(tmp_path):
    inputs = tmp_path / "in"
    inputs.mkdir()
    diplotype_csv(inputs / "s.csv", [(gene, "*1/*2", "Normal Metabolizer") for gene in GENES])
    return inputs


def run(sample, out, **request):
    OrvellePgxParser({"input_dir": str(sample), "output_dir": str(out), **request}).run()


class TestOutputFolder:
    def test_a_regular_file_in_the_folder_path(self, sample, tmp_path):
        (tmp_path / "file").write_text("")
        out = tmp_path / "file" / "sub"
        before = snapshot(tmp_path)
        with pytest.raises(NotADirectoryError) as caught:
            run(sample, out)
        assert_os_error(caught.value, errno.ENOTDIR, out)
        assert snapshot(tmp_path) == before

    def test_a_folder_that_cannot_be_created(self, sample):
        out = "/proc/orvelle-pgx-out/deep"
        with pytest.raises(FileNotFoundError) as caught:
            run(sample, out)
        assert caught.value.errno == errno.ENOENT
        assert not os.path.exists(out)

    @pytest.mark.parametrize("folder", ["/proc", "/sys"])
    def test_a_folder_that_cannot_be_written(self, sample, folder):
        with pytest.raises(OSError) as caught:
            run(sample, folder)
        assert caught.value.errno in (errno.ENOENT, errno.EACCES, errno.EROFS)
        assert caught.value.filename == os.path.join(folder, "orvelle_pgx.json")
        assert not [name for name in os.listdir(folder) if ".tmp-" in name]


class TestOutputFile:
    @pytest.fixture
    def out(self, tmp_path):
        out = tmp_path / "out"
        out.mkdir()
        (out / "orvelle_pgx.json").write_text("old result")
        (out / "orvelle_pgx.provenance.json").write_text("old sidecar")
        return out

    def test_a_result_path_that_is_a_folder(self, sample, tmp_path):
        out = tmp_path / "out"
        (out / "orvelle_pgx.json").mkdir(parents=True)
        with pytest.raises(IsADirectoryError) as caught:
            run(sample, out)
        assert_os_error(caught.value, errno.EISDIR, out / "orvelle_pgx.json")
        assert snapshot(out) == {out / "orvelle_pgx.json": ("dir",)}

    def test_a_result_linked_to_a_full_disk(self, sample, out):
        result = out / "orvelle_pgx.json"
        result.unlink()
        result.symlink_to("/dev/full")
        before = snapshot(out)
        with pytest.raises(OSError) as caught:
            run(sample, out)
        assert_os_error(caught.value, errno.ENOSPC, result)
        assert snapshot(out) == before
        assert stat.S_ISCHR(os.stat("/dev/full").st_mode)

    def test_a_sidecar_linked_to_a_full_disk_fails_after_the_result(self, sample, out):
        sidecar = out / "orvelle_pgx.provenance.json"
        sidecar.unlink()
        sidecar.symlink_to("/dev/full")
        with pytest.raises(OSError) as caught:
            run(sample, out)
        assert_os_error(caught.value, errno.ENOSPC, sidecar)
        assert_new_result_alone(out, sidecar_link="/dev/full")
        assert stat.S_ISCHR(os.stat("/dev/full").st_mode)

    def test_a_dangling_link_is_written_through(self, sample, out):
        result = out / "orvelle_pgx.json"
        result.unlink()
        result.symlink_to("later.json")  # relative to the link's folder
        run(sample, out)
        assert os.readlink(result) == "later.json"
        assert json.loads((out / "later.json").read_text())[0]["Id"] == GENES[0]

    def test_a_sidecar_link_loop_fails_after_the_result(self, sample, out):
        sidecar = out / "orvelle_pgx.provenance.json"
        sidecar.unlink()
        sidecar.symlink_to(sidecar.name)
        with pytest.raises(OSError) as caught:
            run(sample, out)
        assert_os_error(caught.value, errno.ELOOP, sidecar)
        assert_new_result_alone(out, sidecar_link=sidecar.name)

    def test_a_sidecar_name_too_long_fails_after_the_result(self, sample, out):
        name = "r" * 250 + ".json"  # the longest name; the sidecar's would be longer
        (out / name).write_text("old result")
        with pytest.raises(OSError) as caught:
            run(sample, out, output_json=name)
        assert caught.value.errno == errno.ENAMETOOLONG
        assert json.loads((out / name).read_text())[0]["Id"] == GENES[0]
        assert not list(out.glob("*.tmp-*"))

    def test_the_longest_result_name_is_written(self, sample, out):
        name = "r" * 250 + ".json"
        run(sample, out, output_json=name, write_provenance=False)
        assert (out / name).read_text().startswith("[")
        assert not list(out.glob("*.tmp-*"))

    @pytest.mark.parametrize("gzip_output", [False, True])
    def test_a_disk_that_fills_up_while_writing(self, sample, out, gzip_output):
        # A file size limit makes every write past it fail (EFBIG), as a full disk fails with
        # ENOSPC; only a child process can have one without failing the test run's own files.
        before = snapshot(out)
        child = subprocess.run(
            [sys.executable, "-c", FILLING_DISK, str(sample), str(out), str(gzip_output)],
            capture_output=True, text=True, timeout=60)
        assert child.returncode == 0, child.stderr
        code, filename = child.stdout.split()
        result = "orvelle_pgx.json.gz" if gzip_output else "orvelle_pgx.json"
        assert int(code) == errno.EFBIG
        if filename == str(out / result):
            assert snapshot(out) == before
        else:
            assert filename == str(out / "orvelle_pgx.provenance.json")
            assert not (out / "orvelle_pgx.provenance.json").exists()
            assert not list(out.glob("*.tmp-*"))


FILLING_DISK = """
import resource, sys
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
sample, out, gzip_output = sys.argv[1], sys.argv[2], sys.argv[3] == "True"
parser = OrvellePgxParser({"input_dir": sample, "output_dir": out, "gzip_output": gzip_output,
                           "output_json": "orvelle_pgx.json"})
resource.setrlimit(resource.RLIMIT_FSIZE, (100, 100))
try:
    parser.run()
except OSError as error:
    print(error.errno, error.filename)
"""


class TestInputs:
    @pytest.mark.parametrize("name", sorted(READER_INPUTS))
    def test_an_input_that_vanishes_after_dispatch(self, tmp_path, name):
        path = tmp_path / name
        path.write_text(READER_INPUTS[name])
        reader = PgxReaderFactory.get_parser(str(path))
        path.unlink()
        with pytest.raises(FileNotFoundError) as caught:
            reader.parse()
        assert_os_error(caught.value, errno.ENOENT, path)

    @pytest.mark.parametrize("name", sorted(READER_INPUTS))
    def test_an_input_that_cannot_be_read(self, tmp_path, name):
        path = tmp_path / name
        path.symlink_to(UNREADABLE)
        with pytest.raises(OSError) as caught:
            # A JSON that no name rule claims is told by its content, so reading fails there.
            PgxReaderFactory.get_parser(str(path)).parse()
        assert_os_error(caught.value, errno.EIO, path)

    def test_a_path_through_a_regular_file(self, sample, tmp_path, warnings_log):
        bad = sample / "s.csv" / "x.csv"
        with pytest.raises(FileNotFoundError, match=f"^File not found: {bad}$"):
            PgxReaderFactory.get_parser(str(bad))
        out = tmp_path / "out"
        OrvellePgxParser({"input_files": [str(sample / "s.csv"), str(bad)],
                          "output_dir": str(out)}).run()
        assert json.loads((out / "orvelle_pgx.json").read_text())
        assert f"Input file not found, skipping: {bad}" in [
            record.getMessage() for record in warnings_log()]

    @pytest.mark.parametrize("fault, error", [("unreadable", errno.EIO), ("folder", errno.EISDIR)])
    def test_a_run_with_a_bad_input_writes_nothing(self, sample, tmp_path, fault, error):
        bad = sample / "t.csv"
        if fault == "folder":
            bad.mkdir()
        else:
            bad.symlink_to(UNREADABLE)
        out = tmp_path / "out"
        with pytest.raises(OSError) as caught:
            OrvellePgxParser({"input_files": [str(sample / "s.csv"), str(bad)],
                              "output_dir": str(out)}).run()
        assert_os_error(caught.value, error, bad)
        assert not out.exists()
