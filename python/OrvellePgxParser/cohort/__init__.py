"""Cohort conversion: many samples in one process, each converted by the single-sample
driver exactly as the command ``orvelle-pgx-parser`` converts it, on a pool of threads.

``convert_cohort(samples, output_dir, jobs=...)`` is the API; ``samples_from_folders`` and
``samples_from_manifest`` find the samples the command ``orvelle-pgx-cohort`` converts.
"""

from .convert import convert_cohort, default_jobs
from .samples import Sample, samples_from_folders, samples_from_manifest
from .summary import SUMMARY_NAME, SampleOutcome

__all__ = ["Sample", "SampleOutcome", "SUMMARY_NAME", "convert_cohort", "default_jobs",
           "samples_from_folders", "samples_from_manifest"]
