"""An interrupted cohort resumed: interrupted by a signal, or by a crash that left files renamed
but never synced (cut short, as a file system may leave them), it ends with every file byte for
byte what an uninterrupted run writes, and converts again only what it cannot trust."""

import logging
import os
import shutil
import signal
import subprocess
import sys
import time
from concurrent import futures

import pytest

from OrvellePgxParser.cohort import convert, convert_cohort, durability, samples_from_folders
from OrvellePgxParser.cohort.state import STATE_NAME, read_lines
from conftest import REPO
from test_cohort import files, summary

EXAMPLE = REPO / "examples" / "cohort" / "samples"


class Crash(BaseException):
    """The machine stopping: nothing after it runs."""


def make_cohort(folder, count):
    for index in range(count):
        example = "S1" if index % 3 else "S2"
        shutil.copytree(EXAMPLE / example, folder / f"P{index:03d}")
    return folder


def state_samples(out):
    """The samples the state records, in order; a torn line left out."""
    return [record["sample"] for record in list(read_lines(out / STATE_NAME))[1:]]


@pytest.fixture
def reference(tmp_path):
    """A cohort of 30 samples and what an uninterrupted run writes for it."""
    inputs = make_cohort(tmp_path / "in", 30)
    convert_cohort(samples_from_folders([inputs]), tmp_path / "reference", jobs=2)
    return inputs, files(tmp_path / "reference")


def test_a_signal_in_the_middle(tmp_path):
    inputs = make_cohort(tmp_path / "in", 300)
    out = tmp_path / "out"
    command = [sys.executable, "-m", "OrvellePgxParser.cohort", "--output-dir", str(out),
               "--jobs", "1", "--log-level", "ERROR", str(inputs)]
    with subprocess.Popen(command, stderr=subprocess.PIPE, text=True) as child:
        deadline = time.monotonic() + 60
        while not (out / "P010.provenance.json").exists() and time.monotonic() < deadline:
            time.sleep(0.005)
        child.send_signal(signal.SIGINT)
        assert child.wait(timeout=60) == 130, child.stderr.read()
    interrupted = [row["status"] for row in summary(out)]
    assert "ok" in interrupted and "failed" in interrupted
    kept = len(state_samples(out))
    assert kept == interrupted.count("ok")

    resumed = subprocess.run([*command, "--resume", "--log-level", "INFO"], capture_output=True,
                             text=True, timeout=120)
    assert resumed.returncode == 0, resumed.stderr
    assert f"resuming: {kept} of 300 samples are converted already" in resumed.stderr
    subprocess.run([*command[:4], str(tmp_path / "whole"), *command[5:]], check=True)
    assert files(out) == files(tmp_path / "whole")


def test_a_crash_between_syncs(tmp_path, reference, monkeypatch):
    inputs, expected = reference
    out = tmp_path / "out"
    syncs = []

    def sync_then_crash(self):
        syncs.append(len(syncs))
        if len(syncs) == 4:  # after the start's sync and two batches, the machine stops
            raise Crash

    monkeypatch.setattr(durability, "SAMPLES_PER_BATCH", 4)
    monkeypatch.setattr(durability, "SECONDS_PER_BATCH", float("inf"))  # batches by count only
    monkeypatch.setattr(durability.FolderSync, "__call__", sync_then_crash)
    # The cohort wakes only when every running sample has finished, as on a busy machine, and
    # is handed them last first: the batches and the state must still take them in order.
    def all_at_once(running, return_when):
        return sorted(futures.wait(running).done, key=running.get, reverse=True), set()

    monkeypatch.setattr(convert, "wait", all_at_once)
    with pytest.raises(Crash):
        convert_cohort(samples_from_folders([inputs]), out, jobs=1)
    monkeypatch.undo()
    assert not (out / "cohort-summary.tsv").exists()

    # What the crash left: files renamed after the last sync and cut short, a record whose
    # line reached the disk before its file (the file cut short too), a torn state line and a
    # temporary file.
    recorded = state_samples(out)
    assert recorded == [f"P{i:03d}" for i in range(8)]
    unsynced = sorted(p.name for p in out.glob("P*.json") if p.name[:4] not in recorded)
    assert unsynced  # the crash came with samples converted after the last sync
    for name in (unsynced[0], "P002.json", "P003.provenance.json"):
        data = (out / name).read_bytes()
        (out / name).write_bytes(data[: len(data) // 2])
    with open(out / STATE_NAME, "a") as state:
        state.write('{"sample": "P009", "inputs": [')
    (out / "P020.json.tmp-1-0").write_text("[")

    resumed = convert_cohort(samples_from_folders([inputs]), out, jobs=1, resume=True)
    assert all(outcome.ok for outcome in resumed)
    produced = files(out)
    assert produced.pop("P020.json.tmp-1-0") == b"["  # a stranger's file stays as it is
    assert produced == expected
    # The torn ones were converted again, the whole ones kept.
    again = state_samples(out)[8:]
    assert sorted(again) == ["P002", "P003", *(f"P{i:03d}" for i in range(8, 30))]


def test_a_state_made_otherwise_is_not_trusted(tmp_path, reference, caplog):
    inputs, expected = reference
    out = tmp_path / "out"
    convert_cohort(samples_from_folders([inputs]), out, gene_filter=["CYP2C19"])
    with caplog.at_level(logging.INFO, logger="OrvellePgxParser"):
        convert_cohort(samples_from_folders([inputs]), out, resume=True)
    assert "made by another version or with other options" in caplog.text
    assert files(out) == expected
    # A sample read from other files (here: a manifest's) is converted again.
    samples = samples_from_folders([inputs])
    samples[1] = ("P001", [str(inputs / "P001" / name) for name in os.listdir(inputs / "P001")])
    caplog.clear()
    with caplog.at_level(logging.INFO, logger="OrvellePgxParser"):
        convert_cohort(samples, out, resume=True)
    assert "resuming: 29 of 30 samples" in caplog.text
