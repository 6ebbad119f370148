"""The cohort state: which samples of an output folder are converted and on disk, so that
`--resume` converts only the rest. `cohort-state.jsonl` holds a header line (the parser's
version and the conversion options) and one line per converted sample, appended only after a
sync made the sample's files durable: its inputs, the digest of each of its files and its
summary counts. A sample is skipped only when its line is whole, its inputs and the options
are the same, and every file still has the recorded digest; anything else is converted again."""

import contextlib
import hashlib
import json
import logging
import os
import tempfile

from .samples import output_names
from .summary import SampleOutcome

STATE_NAME = "cohort-state.jsonl"
FORMAT = 1
COUNTS = ("genes", "genes_without_star_allele", "genes_without_activity", "unmapped_terms")

log = logging.getLogger("OrvellePgxParser.cohort")


def file_digest(path) -> str:
    with open(path, "rb") as handle:
        return hashlib.sha256(handle.read()).hexdigest()


def sample_inputs(sample) -> list:
    return [sample.input_dir] if sample.input_dir is not None else list(sample.input_files)


def sample_record(sample, outcome, output_dir, gzip_output, write_provenance, rows,
                  other_files=()) -> dict:
    """The state line of a converted sample, with its gene rows for the cohort's tables; its
    files (and `other_files`, names in the output folder) read back from what was just written
    (the system's cache still holds them)."""
    names = [*output_names(sample, gzip_output, write_provenance), *other_files]
    files = {name: file_digest(os.path.join(output_dir, name)) for name in names}
    return {"sample": sample.name, "inputs": sample_inputs(sample), "files": files,
            "counts": [getattr(outcome, count) for count in COUNTS], "rows": rows}


def read_lines(path):
    """The state's lines as JSON values, a line left torn by a crash skipped."""
    try:
        with open(path, encoding="utf-8", errors="replace") as handle:
            for line in handle:
                with contextlib.suppress(ValueError):
                    yield json.loads(line)
    except FileNotFoundError:
        return


def trusted_outcome(record, sample, output_dir):
    """The summary row of a recorded sample whose files are exactly as recorded, else None."""
    if record.get("inputs") != sample_inputs(sample):
        return None
    files = record.get("files")
    if not isinstance(files, dict):
        return None
    for name, digest in files.items():
        try:
            if file_digest(os.path.join(output_dir, name)) != digest:
                return None
        except OSError:
            return None
    counts = record.get("counts")
    if not isinstance(counts, list) or len(counts) != len(COUNTS):
        return None
    if not isinstance(record.get("rows"), list):
        return None
    return SampleOutcome(sample.name, "ok", **dict(zip(COUNTS, counts)))


def converted_samples(path, header, samples, output_dir) -> dict:
    """{index of sample: (its outcome, its gene rows)} for the samples the state shows converted, on disk and
    whole, made by this version with these options."""
    lines = read_lines(path)
    if next(lines, None) != header:
        if os.path.exists(path):
            log.warning("%s was made by another version or with other options: every sample "
                        "is converted", path)
        return {}
    records = {}
    for record in lines:
        if isinstance(record, dict) and isinstance(record.get("sample"), str):
            records[record["sample"]] = record  # a later line of a sample replaces an earlier
    done = {}
    for index, sample in enumerate(samples):
        record = records.get(sample.name)
        outcome = record and trusted_outcome(record, sample, output_dir)
        if outcome:
            done[index] = (outcome, record["rows"])
    return done


class CohortState:
    """The state file of one run, open for appending records."""

    def __init__(self, output_dir, header, resume, samples):
        self.path = os.path.join(output_dir, STATE_NAME)
        done = converted_samples(self.path, header, samples, output_dir) if resume else {}
        # The outcomes of the samples kept, and their gene rows for the cohort's tables.
        self.converted = {index: outcome for index, (outcome, _) in done.items()}
        self.converted_rows = {index: rows for index, (_, rows) in done.items()}
        if not self.converted:
            self._start(output_dir, header)
        self._handle = open(self.path, "a", encoding="utf-8")
        if self._handle.tell() and not self._ends_a_line():
            self._handle.write("\n")  # a line a crash left torn stays apart from the next

    def _ends_a_line(self) -> bool:
        with open(self.path, "rb") as handle:
            handle.seek(-1, os.SEEK_END)
            return handle.read(1) == b"\n"

    def _start(self, output_dir, header):
        """A state of the header alone replaces the previous one whole."""
        handle, temporary = tempfile.mkstemp(dir=output_dir, prefix=f".{STATE_NAME}.")
        try:
            with os.fdopen(handle, "w", encoding="utf-8") as out:
                out.write(json.dumps(header) + "\n")
            os.replace(temporary, self.path)
        except BaseException:
            with contextlib.suppress(OSError):
                os.unlink(temporary)
            raise

    def append(self, records):
        """Appends the records of samples whose files were just synced. They reach the disk
        with the next sync."""
        self._handle.write("".join(json.dumps(record) + "\n" for record in records))
        self._handle.flush()

    def close(self):
        self._handle.close()


def state_header(version, options) -> dict:
    return {"format": FORMAT, "parserVersion": version,
            "options": {key: sorted(value) if isinstance(value, list) else value
                        for key, value in options.items()}}
