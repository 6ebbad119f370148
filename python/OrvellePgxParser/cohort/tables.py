"""The cohort's tables over every sample: star alleles and activities by sample and gene, one
row per sidecar warning, and MultiQC's custom-content files. Each is a tab-separated text,
written whole or not at all, and the tables of several runs (the workflow's chunks) join into
the tables one run over all their samples writes."""

import contextlib
import json
import os
import tempfile

from .._text_files import atomic_text_file
from .summary import SUMMARY_NAME, one_line

STAR_ALLELES_NAME = "cohort-star-alleles.tsv"
ACTIVITIES_NAME = "cohort-activities.tsv"
WARNINGS_NAME = "cohort-warnings.tsv"
MULTIQC_SAMPLES_NAME = "orvelle_pgx_samples_mqc.tsv"
MULTIQC_GAPS_NAME = "orvelle_pgx_gaps_mqc.tsv"

WARNING_COLUMNS = ("sample", "gene", "caller", "warning")
MULTIQC_SAMPLE_COLUMNS = ("Sample", "status", "genes", "gaps", "unmapped_terms")

# MultiQC reads a custom-content file's configuration from its leading "#" lines (YAML).
MULTIQC_SAMPLES_HEADER = (
    "# id: 'orvelle_pgx_samples'",
    "# section_name: 'Orvelle PGx: samples'",
    "# description: 'One row per sample of the cohort: status (ok or failed; the error is in "
    "cohort-summary.tsv), the genes of its result, the gaps among them (genes whose StarAllele "
    "or Activity is null) and the caller terms without a mapping.'",
    "# plot_type: 'table'",
    "# pconfig:",
    "#     id: 'orvelle_pgx_samples_table'",
    "#     title: 'Orvelle PGx: samples'",
    "#     namespace: 'Orvelle PGx'",
)
MULTIQC_GAPS_HEADER = (
    "# id: 'orvelle_pgx_gaps'",
    "# section_name: 'Orvelle PGx: gaps by gene'",
    "# description: 'One row per converted sample, one column per gene: 0 when the gene has "
    "both its StarAllele and its Activity, 1 when one of them is a gap (null), 2 when both are; "
    "blank when the sample has no result for the gene. Why a gene is a gap is in "
    "cohort-warnings.tsv.'",
    "# plot_type: 'heatmap'",
    "# pconfig:",
    "#     id: 'orvelle_pgx_gaps_heatmap'",
    "#     title: 'Orvelle PGx: gaps by gene'",
    "#     xlab: 'gene'",
    "#     ylab: 'sample'",
    "#     min: 0",
    "#     max: 2",
    "#     cluster_rows: false",
    "#     cluster_cols: false",
)

# Every cohort-wide file, the summary last: what a run over a chunk of samples writes once
# for the chunk, and what joining the chunks makes once for the cohort.
COHORT_FILES = (STAR_ALLELES_NAME, ACTIVITIES_NAME, WARNINGS_NAME, MULTIQC_SAMPLES_NAME,
                MULTIQC_GAPS_NAME, SUMMARY_NAME)
# The files with one column per gene (the others have fixed columns).
GENE_MATRICES = (STAR_ALLELES_NAME, ACTIVITIES_NAME, MULTIQC_GAPS_NAME)


def gene_rows(results) -> list:
    """What the tables keep of a sample's results: [gene, StarAllele, Activity, caller,
    warnings] per gene, in the results' order."""
    return [[r.gene, r.star_allele, r.activity, r.source, list(r.warnings)] for r in results]


def gap_count(row) -> int:
    return (not row[1]) + (not row[2])


def table_line(cells) -> str:
    """One row: a missing cell empty, every cell on one line."""
    return "\t".join("" if cell is None else one_line(str(cell)) for cell in cells) + "\n"


def table_head(header, columns) -> str:
    return "".join(comment + "\n" for comment in header) + table_line(columns)


class CohortTables:
    """The converted samples' gene rows, spooled to an unnamed temporary file in the output
    folder as the samples finish (in any order): a cohort of any size holds only where each
    sample's rows lie. `write` then makes every table in the samples' order, in one pass."""

    def __init__(self, output_dir):
        self._spool = tempfile.TemporaryFile(dir=output_dir)
        self._where = {}
        self._genes = set()

    def __enter__(self):
        return self

    def __exit__(self, *exc_info):
        self._spool.close()

    def add(self, index, rows) -> None:
        """Keeps the gene rows (see gene_rows) of the converted sample at INDEX."""
        data = json.dumps(rows).encode("ascii")
        self._spool.seek(0, os.SEEK_END)
        self._where[index] = (self._spool.tell(), len(data))
        self._spool.write(data)
        self._genes.update(row[0] for row in rows)

    def _rows(self, index):
        offset, size = self._where[index]
        self._spool.seek(offset)
        return json.loads(self._spool.read(size))

    def write(self, output_dir, outcomes) -> None:
        """Every cohort-wide table but the summary, for OUTCOMES (one SampleOutcome per sample,
        in the samples' order)."""
        genes = sorted(self._genes)
        heads = {STAR_ALLELES_NAME: (), ACTIVITIES_NAME: (), MULTIQC_GAPS_NAME: MULTIQC_GAPS_HEADER}
        cells = {STAR_ALLELES_NAME: lambda row: row[1], ACTIVITIES_NAME: lambda row: row[2],
                 MULTIQC_GAPS_NAME: gap_count}
        with contextlib.ExitStack() as stack:
            out = {name: stack.enter_context(atomic_text_file(os.path.join(output_dir, name)))
                   for name in COHORT_FILES if name != SUMMARY_NAME}
            for name, header in heads.items():
                out[name].write(table_head(header, ["sample", *genes]))
            out[WARNINGS_NAME].write(table_head((), WARNING_COLUMNS))
            out[MULTIQC_SAMPLES_NAME].write(table_head(MULTIQC_SAMPLES_HEADER,
                                                       MULTIQC_SAMPLE_COLUMNS))
            for index, outcome in enumerate(outcomes):
                rows = self._rows(index) if outcome.ok else None
                gaps = None if rows is None else sum(1 for row in rows if gap_count(row))
                out[MULTIQC_SAMPLES_NAME].write(table_line(
                    (outcome.sample, outcome.status, outcome.genes, gaps, outcome.unmapped_terms)))
                if rows is None:  # a failed sample has no row by gene
                    continue
                by_gene = {row[0]: row for row in rows}
                for name, cell in cells.items():
                    out[name].write(table_line([outcome.sample, *(
                        cell(by_gene[gene]) if gene in by_gene else None for gene in genes)]))
                for gene, _, _, caller, warnings in rows:
                    for warning in warnings:
                        out[WARNINGS_NAME].write(table_line((outcome.sample, gene, caller,
                                                             warning)))


def read_head(handle):
    """The comment lines and the column names at the top of a table written here."""
    header = []
    for text in handle:
        text = text.rstrip("\n")
        if not text.startswith("#"):
            return header, text.split("\t")
        header.append(text)
    raise ValueError(f"{handle.name}: the table has no column names")


def join_cohort_tables(folders, output_dir) -> None:
    """Writes into OUTPUT_DIR every cohort-wide table of the runs that wrote FOLDERS (at least
    one; each run over other samples, in the samples' order): the rows in folder order, and
    for a table by gene every gene of any folder, sorted. Each table is read row by row."""
    os.makedirs(output_dir, exist_ok=True)
    for name in COHORT_FILES:
        paths = [os.path.join(folder, name) for folder in folders]
        heads = []
        for path in paths:
            with open(path, encoding="utf-8", newline="") as handle:
                heads.append(read_head(handle))
        header, columns = heads[0]
        if name in GENE_MATRICES:
            columns = ["sample", *sorted({c for _, part in heads for c in part[1:]})]
        with atomic_text_file(os.path.join(output_dir, name)) as out:
            out.write(table_head(header, columns))
            for path in paths:
                with open(path, encoding="utf-8", newline="") as handle:
                    _, part_columns = read_head(handle)
                    for text in handle:
                        row = dict(zip(part_columns, text.rstrip("\n").split("\t")))
                        out.write(table_line(row.get(column) for column in columns))
