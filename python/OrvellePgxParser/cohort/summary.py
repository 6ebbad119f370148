"""The cohort's summary table, one row per sample, written whole or not at all."""

import os
from dataclasses import dataclass
from typing import Optional

from .._text_files import write_text_atomically

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
    """Writes the table beside the samples' outputs, replacing an earlier summary whole.
    Returns its path."""
    path = os.path.join(output_dir, SUMMARY_NAME)
    lines = ["\t".join(COLUMNS)]
    for outcome in outcomes:
        cells = [getattr(outcome, column) for column in COLUMNS]
        lines.append("\t".join("" if cell is None else one_line(str(cell)) for cell in cells))
    write_text_atomically(path, "\n".join(lines) + "\n")
    return path
