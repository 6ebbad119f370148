"""The cohort's summary table, one row per sample, written whole or not at all."""

import contextlib
import os
import tempfile
from dataclasses import dataclass
from typing import Optional

SUMMARY_NAME = "cohort-summary.tsv"
COLUMNS = ("sample", "status", "genes", "genes_without_star_allele", "genes_without_activity",
           "unmapped_terms", "error")


@dataclass(frozen=True, slots=True)
class SampleOutcome:
    """What became of one sample: status "ok" with the counts of its result, or "failed" with
    the error (and no counts)."""

    sample: str
    status: str
    genes: Optional[int] = None
    genes_without_star_allele: Optional[int] = None
    genes_without_activity: Optional[int] = None
    unmapped_terms: Optional[int] = None
    error: Optional[str] = None

    @property
    def ok(self) -> bool:
        return self.status == "ok"


def one_line(text: str) -> str:
    return " ".join(text.split())


def write_summary(output_dir, outcomes) -> str:
    """Writes the table beside the samples' outputs through a temporary file renamed into place,
    so an earlier summary is replaced whole. Returns its path."""
    path = os.path.join(output_dir, SUMMARY_NAME)
    lines = ["\t".join(COLUMNS)]
    for outcome in outcomes:
        cells = [getattr(outcome, column) for column in COLUMNS]
        lines.append("\t".join("" if cell is None else one_line(str(cell)) for cell in cells))
    handle, temporary = tempfile.mkstemp(dir=output_dir, prefix=f".{SUMMARY_NAME}.")
    try:
        with os.fdopen(handle, "w", encoding="utf-8", newline="") as out:
            out.write("\n".join(lines) + "\n")
        os.replace(temporary, path)
    except BaseException:
        with contextlib.suppress(OSError):
            os.unlink(temporary)
        raise
    return path
