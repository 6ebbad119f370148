"""Shared fixtures: real caller output (when the shared samples are present), log capture, and
the schema check of every output a test writes."""

import logging
from pathlib import Path

import pytest

from written_outputs import schema_errors

REPO = Path(__file__).resolve().parents[1]
# The shared samples sit beside the checkout (or beside a folder of checkouts).
SHARED_SAMPLES = next(
    (folder / "shared" / "samples" for folder in REPO.parents
     if (folder / "shared" / "samples").is_dir()),
    REPO.parent / "shared" / "samples")
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


@pytest.fixture(autouse=True)
def outputs_match_the_schemas(request):
    """Every result and sidecar a test writes under its tmp_path is held to the schemas."""
    folder = request.getfixturevalue("tmp_path") if "tmp_path" in request.fixturenames else None
    yield
    errors = schema_errors(folder) if folder is not None else []
    assert not errors, "\n".join(errors)
