"""The samples of a cohort: from the sub-folders of input folders or from a manifest, and the
checks that must pass before any sample is converted."""

import csv
import os
from dataclasses import dataclass, field
from typing import Optional, Tuple

from OrvellePgxParser.OrvellePgxConstants import OrvellePgxConstants as constants


@dataclass(frozen=True, slots=True)  # slots: a biobank's manifest holds 250,000 of them
class Sample:
    """One sample: its name (which names its output files) and where its inputs are: the named
    files, or, without any, every input file of `input_dir`, as the single command reads them.
    `origin` says where the sample was found, for messages."""

    name: str
    input_files: Tuple[str, ...] = ()
    input_dir: Optional[str] = None
    origin: str = field(default="", compare=False)


def as_sample(value) -> Sample:
    """A Sample as given, or one from a (name, input files) pair."""
    if isinstance(value, Sample):
        return value
    name, files = value
    return Sample(str(name), tuple(os.fspath(f) for f in files), origin=f"sample {name}")


def samples_from_folders(input_dirs, skip=None) -> list:
    """One sample per sub-folder of each folder (hidden ones left out), in name order; `skip`
    is a folder (the output folder) that is never taken for a sample."""
    samples = []
    for folder in map(os.fspath, input_dirs):
        if not os.path.isdir(folder):
            raise FileNotFoundError(f"input folder not found: {folder}")
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if name.startswith(".") or not os.path.isdir(path):
                continue
            if skip is not None and os.path.exists(skip) and os.path.samefile(path, skip):
                continue
            samples.append(Sample(name, input_dir=path, origin=f"folder {path}"))
    return samples


def samples_from_manifest(manifest) -> list:
    """The samples of a manifest: a tab-separated file with a header naming the columns
    `sample` and `path`, one row per input file; relative paths are taken from the manifest's
    folder. Samples keep the order of their first row."""
    manifest = os.fspath(manifest)
    if not os.path.isfile(manifest):
        raise FileNotFoundError(f"manifest not found: {manifest}")
    base = os.path.dirname(manifest)
    files = {}
    shared = {}  # one text for a path many samples name (a cohort's table)
    with open(manifest, newline="", encoding="utf-8-sig") as handle:
        rows = csv.DictReader(handle, delimiter="\t")
        missing = {"sample", "path"} - set(rows.fieldnames or ())
        if missing:
            raise ValueError(f"{manifest}: the header must name the columns sample and path "
                             f"(missing: {', '.join(sorted(missing))})")
        for row in rows:
            line = rows.line_num
            name, path = (row["sample"] or "").strip(), (row["path"] or "").strip()
            if not name or not path:
                raise ValueError(f"{manifest} line {line}: a row needs a sample and a path")
            path = os.path.join(base, path)
            path = shared.setdefault(path, path)
            named = files.setdefault(name, [])
            if path in named:
                raise ValueError(f"{manifest} line {line}: sample {name} names {path} twice")
            named.append(path)
    origin = f"manifest {manifest}"
    return [Sample(name, tuple(paths), origin=origin) for name, paths in files.items()]


def output_names(sample: Sample, gzip_output: bool, write_provenance: bool) -> list:
    """The files the single-sample writer makes for the sample in the output folder."""
    result = sample.name + ".json" + (".gz" if gzip_output else "")
    return [result] + ([sample.name + constants.PROVENANCE_SUFFIX] if write_provenance else [])


def check_samples(samples, gzip_output: bool, write_provenance: bool) -> None:
    """Refuses, before anything is converted, names that cannot name output files and two
    samples whose outputs would land on the same file."""
    owners = {}
    for sample in samples:
        name = sample.name
        if (not name or name in (".", "..") or "/" in name or os.sep in name
                or any(ord(c) < 32 for c in name)):
            raise ValueError(f"{sample.origin}: {name!r} cannot name a sample's output files")
        for output in output_names(sample, gzip_output, write_provenance):
            other = owners.setdefault(output, sample)
            if other is not sample:
                what = "the same sample name" if other.name == name else f"sample {other.name}"
                raise ValueError(f"duplicate sample {name} ({sample.origin}): {output} is "
                                 f"also written for {what} ({other.origin})")
