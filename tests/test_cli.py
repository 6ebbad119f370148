"""The command line, run as a user would: in a subprocess."""

import argparse
import fcntl
import json
import os
import struct
import subprocess
import sys
import termios
from importlib import metadata
from pathlib import Path

import pytest

from driver_support import diplotype_csv
from OrvellePgxParser._command import help_formatter

COMMAND = [sys.executable, "-m", "OrvellePgxParser"]


def run(*args, cwd):
    return subprocess.run([*COMMAND, *args], cwd=cwd, capture_output=True, text=True, timeout=60)


@pytest.fixture
def folder(tmp_path):
    diplotype_csv(tmp_path / "a.csv", [("CYP2D6", "*1/*4", "Normal Metabolizer")])
    diplotype_csv(tmp_path / "b.csv", [("NUDT15", "*1/*1", "Normal Metabolizer")])
    return tmp_path


def test_without_arguments_scans_the_current_directory(folder):
    done = run(cwd=folder)
    assert done.returncode == 0, done.stderr
    assert [e["Id"] for e in json.loads((folder / "orvelle_pgx.json").read_text())] == [
        "CYP2D6", "NUDT15"]
    assert (folder / "orvelle_pgx.provenance.json").exists()
    assert done.stderr.strip().splitlines()[-1] == (
        "INFO Wrote provenance to ./orvelle_pgx.provenance.json")


def test_genes_end_at_an_option_or_at_a_double_dash(folder):
    assert run("--genes", "CYP2D6", "--no-prov", "--", "a.csv", cwd=folder).returncode == 0
    assert [e["Id"] for e in json.loads((folder / "orvelle_pgx.json").read_text())] == ["CYP2D6"]
    assert run("a.csv", "--genes", cwd=folder).returncode == 0
    assert [e["Id"] for e in json.loads((folder / "orvelle_pgx.json").read_text())] == ["CYP2D6"]


def test_gzip_prefix_and_log_level(folder):
    done = run("--gz", "--log-level", "warning", "a.csv", cwd=folder)
    assert done.returncode == 0 and done.stderr == ""
    assert (folder / "orvelle_pgx.json.gz").exists()


@pytest.mark.parametrize("args", [["a.csv", "--gzip", "b.csv"], ["a.csv", "--gzip", "--", "b.csv"],
                                  ["--no"], ["--bogus"], ["--output-dir"]])
def test_usage_errors_end_with_status_2(folder, args):
    done = run(*args, cwd=folder)
    assert done.returncode == 2
    assert done.stderr.startswith("usage: orvelle-pgx-parser")


class TestStandardOutput:
    def test_the_result_as_the_file_holds_it_and_no_file(self, folder):
        assert run("a.csv", "b.csv", "--output-dir", "files", cwd=folder).returncode == 0
        done = run("a.csv", "b.csv", "--output-json", "-", cwd=folder)
        assert done.returncode == 0
        assert done.stdout == (folder / "files" / "orvelle_pgx.json").read_text()
        assert done.stderr.splitlines()[-1] == "INFO Wrote 2 gene results to standard output"
        assert sorted(p.name for p in folder.iterdir()) == ["a.csv", "b.csv", "files"]

    def test_the_sidecar_only_with_an_output_dir(self, folder):
        assert run("a.csv", "--output-dir", "files", cwd=folder).returncode == 0
        done = run("a.csv", "--output-json", "-", "--output-dir", "sidecar", cwd=folder)
        assert done.returncode == 0 and json.loads(done.stdout)[0]["Id"] == "CYP2D6"
        assert [p.name for p in (folder / "sidecar").iterdir()] == ["orvelle_pgx.provenance.json"]
        assert ((folder / "sidecar" / "orvelle_pgx.provenance.json").read_bytes()
                == (folder / "files" / "orvelle_pgx.provenance.json").read_bytes())

    def test_gzip_is_a_usage_error(self, folder):
        done = run("a.csv", "--output-json", "-", "--gzip", cwd=folder)
        assert done.returncode == 2 and done.stdout == ""
        assert "--gzip cannot be used with --output-json -" in done.stderr


def test_every_option_of_either_command_says_what_it_does():
    from OrvellePgxParser._command import BOTH, DESCRIPTIONS, OPTIONS

    assert all(keywords.get("help") for _, _, keywords in OPTIONS)
    for command in BOTH:  # the description names every caller read
        for caller in ("PharmCAT", "pbStarPhase", "PyPGx", "Gene/Diplotype"):
            assert caller in DESCRIPTIONS[command]


def test_the_default_result_name_is_the_packages(tmp_path):
    from OrvellePgxParser._command import SINGLE, argument_parser
    from OrvellePgxParser.OrvellePgxConstants import OrvellePgxConstants

    parsed = argument_parser(SINGLE, "0").parse_args([])
    assert parsed.output_json == OrvellePgxConstants.DEFAULT_OUTPUT_JSON


def test_a_failed_conversion_is_one_line_and_non_zero(tmp_path):
    done = run("--input-dir", "nowhere", cwd=tmp_path)
    assert done.returncode == 1
    assert done.stderr.strip().splitlines()[-1] == (
        "orvelle-pgx-parser: error: No input files found. Provide input_files or an input_dir "
        "containing .json/.csv PGx output.")
    assert "Traceback" not in done.stderr


def test_unknown_log_level_selects_info(folder):
    done = run("--log-level", "chatty", "a.csv", cwd=folder)
    assert done.returncode == 0 and "INFO Wrote 1 gene results to" in done.stderr


@pytest.mark.parametrize("command", [COMMAND, [str(Path(sys.executable).with_name(
    "orvelle-pgx-parser"))]], ids=["python -m", "console script"])
def test_version_prints_the_installed_version_and_exits_0(tmp_path, command):
    done = subprocess.run([*command, "--version"], cwd=tmp_path, capture_output=True, text=True,
                          timeout=60)
    assert (done.returncode, done.stdout, done.stderr) == (
        0, f"orvelle-pgx-parser {metadata.version('OrvellePgxParser')}\n", "")
    assert list(tmp_path.iterdir()) == []  # nothing converted


def test_help_lists_the_version_option_last(folder):
    options = [line.split()[0] for line in run("-h", cwd=folder).stdout.splitlines()
               if line.startswith("  -")]
    assert options == ["-h,", "--input-dir", "--output-dir", "--output-json", "--gzip",
                       "--no-provenance", "--no-recover", "--genes", "--phenotype-source",
                       "--sample", "--outside-calls", "--log-level", "--version"]


@pytest.fixture(params=["unset", "100", " 61 ", "0", "-3", "wide", "no stdout", "terminal"])
def terminal(request, monkeypatch):
    """The conditions argparse's default width depends on: $COLUMNS and standard output."""
    monkeypatch.delenv("COLUMNS", raising=False)
    if request.param == "no stdout":
        monkeypatch.setattr(sys, "__stdout__", None)
    elif request.param == "terminal":
        leader, follower = os.openpty()
        fcntl.ioctl(follower, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 123, 0, 0))
        with open(follower, "w") as screen, open(leader, "rb"):
            monkeypatch.setattr(sys, "__stdout__", screen)
            yield
        return
    elif request.param != "unset":
        monkeypatch.setenv("COLUMNS", request.param)
    yield


def test_help_is_sized_as_argparse_sizes_it_by_default(terminal):
    ours, default = help_formatter("p"), argparse.HelpFormatter("p")
    assert (ours._width, ours._max_help_position) == (default._width, default._max_help_position)
