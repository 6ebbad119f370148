"""Many samples converted in one process: one single-sample driver per sample, on a pool of
threads. The driver lets the interpreter's lock go while its C++ core works, so N threads keep
N cores busy; nothing is shared between the drivers but the read-only mapping tables."""

import contextlib
import logging
import os
import tempfile
from concurrent.futures import FIRST_COMPLETED, ThreadPoolExecutor, wait

from OrvellePgxParser.OrvellePgxConstants import OrvellePgxConstants as constants
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser, __version__

from ..outside_calls import write_outside_calls
from .durability import Batches, FolderSync
from .sample_logs import SampleLogs
from .samples import as_sample, check_samples
from .state import CohortState, sample_record, state_header
from .summary import SUMMARY_NAME, SampleOutcome, one_line, write_summary
from .tables import CohortTables, gene_rows

log = logging.getLogger("OrvellePgxParser.cohort")
INTERRUPTED = "not converted: the run was interrupted"
OUTSIDE_CALLS_SUFFIX = ".outside.tsv"


def default_jobs() -> int:
    """The cores this process may run on."""
    try:
        return len(os.sched_getaffinity(0))
    except AttributeError:
        return os.cpu_count() or 1


def check_output_dir(output_dir: str) -> None:
    """Creates the folder and proves a file can be made in it, before any sample is converted."""
    try:
        os.makedirs(output_dir, exist_ok=True)
        with tempfile.TemporaryFile(dir=output_dir):
            pass
    except OSError as error:
        raise OSError(error.errno, f"output folder cannot be written: {output_dir}: "
                                   f"{error.strerror}") from error


def request_for(sample, output_dir, options) -> dict:
    """The request the single command builds for the sample's inputs and the cohort's options."""
    return {
        constants.INPUT_FILES: list(sample.input_files),
        # A manifest sample reads its named files only: should one vanish, no folder scan may
        # stand in for it (a path that is no folder finds no input, and the sample fails).
        constants.INPUT_DIR: sample.input_dir if sample.input_dir is not None else os.devnull,
        constants.OUTPUT_DIR: output_dir,
        constants.OUTPUT_JSON: sample.name + ".json",
        constants.SAMPLE_LABEL: sample.name,
        **options,
    }


def failure_text(sample, error, driver) -> str:
    """The error in one line, naming the file it concerns when the error does not."""
    text = one_line(str(error)) or type(error).__name__
    inputs = list(sample.input_files) or [sample.input_dir]
    if not any(path and path in text for path in inputs):
        path = driver.failed_input if driver is not None else None
        text += f" ({path})" if path else f" (reading {', '.join(inputs)})"
    return text


def check_inputs(sample) -> None:
    for path in sample.input_files:
        if not os.path.exists(path):
            raise FileNotFoundError(f"File not found: {path}")


def convert_sample(sample, driver, outside_calls):
    """What run() does, keeping the results for the sample's counts and the cohort's tables
    (its outcome and its gene rows); with `outside_calls`, then the sample's PharmCAT
    outside-call file beside its result."""
    results = driver.parse_files()
    driver.write_results(results)
    if outside_calls:
        write_outside_calls(os.path.join(driver.output_dir, sample.name + OUTSIDE_CALLS_SUFFIX),
                            results)
    return SampleOutcome(
        sample.name, "ok", genes=len(results),
        genes_without_star_allele=sum(1 for r in results if not r.star_allele),
        genes_without_activity=sum(1 for r in results if not r.activity),
        unmapped_terms=len(driver.normalizer.unmapped_terms)), gene_rows(results)


def convert_held(sample, output_dir, options, outside_calls, sync_each_file, logs):
    """Converts one sample on a worker thread; returns its outcome, its state record (None
    when it failed; it holds the sample's gene rows for the cohort's tables) and its held log
    records."""
    driver = record = None
    with logs.capture(sample.name) as records:
        try:
            check_inputs(sample)
            driver = OrvellePgxParser(request_for(sample, output_dir, options))
            driver.sync_each_file = sync_each_file
            outcome, rows = convert_sample(sample, driver, outside_calls)
            record = sample_record(sample, outcome, output_dir, options[constants.GZIP_OUTPUT],
                                   options[constants.WRITE_PROVENANCE], rows,
                                   [sample.name + OUTSIDE_CALLS_SUFFIX] if outside_calls else [])
        except Exception as error:  # one sample's failure is its own
            text = failure_text(sample, error, driver)
            log.error("conversion failed: %s", text)
            outcome = SampleOutcome(sample.name, "failed", error=text)
    return outcome, record, records


def remove_summary(output_dir) -> None:
    """A previous run's summary goes before any of its files is replaced: it must never list
    a file that this run may leave torn."""
    with contextlib.suppress(FileNotFoundError):
        os.unlink(os.path.join(output_dir, SUMMARY_NAME))


@contextlib.contextmanager
def progress_bar(total, shown):
    """Samples done of total, rate and time left on standard error, or nothing."""
    if not shown:
        yield None
        return
    from tqdm import tqdm
    from tqdm.contrib.logging import logging_redirect_tqdm

    with tqdm(total=total, unit="sample", dynamic_ncols=True) as bar, logging_redirect_tqdm():
        yield bar


def convert_cohort(samples, output_dir, *, jobs=None, gzip_output=False, write_provenance=True,
                   recover_dropped_genes=True, gene_filter=None, phenotype_source=None,
                   outside_calls=False, progress=False, resume=False,
                   sync_each_file=False) -> list:
    """Converts every sample as the single command would, into OUTPUT_DIR/<sample>.json (.gz)
    and <sample>.provenance.json (with `outside_calls`, also <sample>.outside.tsv), writes the
    cohort's tables, cohort-summary.tsv last, and returns one SampleOutcome per sample, in the
    samples' order. `samples`: Sample objects or (name, input
    files) pairs. A failing sample fails alone; bad samples or an output folder that cannot be
    written raise before anything is converted. With `resume`, the samples an earlier run into
    the same folder converted with the same options, and whose files are whole, are kept as
    they are. The files are made durable in batches, one sync of the folder's file system each
    (see durability.py); `sync_each_file` flushes each file on its own instead, as the single
    command does."""
    samples = [as_sample(s) for s in samples]
    check_samples(samples, gzip_output, write_provenance)
    output_dir = os.fspath(output_dir)
    check_output_dir(output_dir)
    options = {constants.GZIP_OUTPUT: gzip_output, constants.WRITE_PROVENANCE: write_provenance,
               constants.RECOVER_DROPPED_GENES: recover_dropped_genes,
               constants.GENE_FILTER: None if gene_filter is None else list(gene_filter),
               constants.PHENOTYPE_SOURCE: phenotype_source}
    jobs = jobs or default_jobs()
    # The folder is opened for its syncs before anything is written in it: a sync then
    # reports a write-back failure of any file written since.
    header = state_header(__version__, {**options, "outside_calls": bool(outside_calls)})
    with contextlib.closing(FolderSync(output_dir)) as sync, contextlib.closing(
            CohortState(output_dir, header, resume, samples)) as state:
        return convert_all(samples, output_dir, options, jobs, progress, outside_calls,
                           sync_each_file, state, sync)


def convert_all(samples, output_dir, options, jobs, progress, outside_calls, sync_each_file,
                state, sync):
    outcomes = [state.converted.get(index) for index in range(len(samples))]
    if state.converted:
        log.info("resuming: %d of %d samples are converted already and kept",
                 len(state.converted), len(samples))
    remove_summary(output_dir)
    sync()  # the summary's removal and the new state are on disk before any output changes
    batches = Batches(sync, state.append)
    logs = SampleLogs()
    queue = ((i, s) for i, s in enumerate(samples) if i not in state.converted)
    running = {}

    with logs.installed(), progress_bar(len(samples) - len(state.converted), progress) as bar, \
            CohortTables(output_dir) as tables, \
            ThreadPoolExecutor(max_workers=jobs, thread_name_prefix="cohort") as pool:
        for index, rows in state.converted_rows.items():
            tables.add(index, rows)

        def submit_next():
            # A few samples ahead of the threads, never the whole cohort: finished samples
            # leave nothing behind but their outcome.
            for index, sample in queue:
                running[pool.submit(convert_held, sample, output_dir, options, outside_calls,
                                    sync_each_file, logs)] = index
                return

        def collect(futures):
            # In sample order: wait() gives a set, and several samples may finish before this
            # thread wakes; the batches and the state then follow the cohort's order.
            for future in sorted(futures, key=running.__getitem__):
                index = running.pop(future)
                outcomes[index], record, records = future.result()
                logs.emit(records)
                if record is not None:
                    tables.add(index, record["rows"])
                    batches.add(record)
                if bar is not None:
                    bar.update()

        for _ in range(2 * jobs):
            submit_next()
        try:
            while running:
                done, _ = wait(running, return_when=FIRST_COMPLETED)
                collect(done)
                for _ in done:
                    submit_next()
        except KeyboardInterrupt:
            # The samples being converted finish (their files are whole either way); no other
            # starts, and the summary says which were not converted.
            for future in list(running):
                if future.cancel():
                    running.pop(future)
            collect(wait(running).done)
            outcomes = [o or SampleOutcome(s.name, "failed", error=INTERRUPTED)
                        for o, s in zip(outcomes, samples)]
            finish(output_dir, outcomes, tables, batches, sync)
            raise
        finish(output_dir, outcomes, tables, batches, sync)
    return outcomes


def finish(output_dir, outcomes, tables, batches, sync):
    """The last batch on disk, then the tables by sample and gene, the warnings and MultiQC's
    files, then the summary that lists them (a summary is never older than the tables beside
    it), then all of it on disk."""
    batches.sync()
    tables.write(output_dir, outcomes)
    write_summary(output_dir, outcomes)
    sync()
