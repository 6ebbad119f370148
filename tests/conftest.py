"""Shared fixtures: real caller output (when the shared samples are present) and log capture."""

import logging
from pathlib import Path

import pytest

# The samples sit beside the checkouts: two levels up from the main one, three from a worktree.
SHARED_SAMPLES = next(
    (folder / "shared" / "samples" for folder in Path(__file__).resolve().parents[1:]
     if (folder / "shared" / "samples").is_dir()),
    Path(__file__).resolve().parents[2] / "shared" / "samples")
FIXTURES = Path(__file__).resolve().parent / "fixtures"


@pytest.fixture
def shared_samples():
    """The folder of real caller outputs; tests that need it skip where it is absent."""
    if not SHARED_SAMPLES.is_dir():
        pytest.skip("the shared samples of real caller output are not present")
    return SHARED_SAMPLES


@pytest.fixture
def warnings_log(caplog):
    """Records of the package logger at WARNING and above, as (msg, args) pairs."""
    caplog.set_level(logging.DEBUG, logger="OrvellePgxParser")

    def records(level=logging.WARNING):
        return [r for r in caplog.records if r.name == "OrvellePgxParser" and r.levelno >= level]

    return records
