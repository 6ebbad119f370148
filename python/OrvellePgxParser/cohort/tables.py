"""The cohort's tables over every sample: star alleles and activities by sample and gene, one
row per sidecar warning, and MultiQC's custom-content files. Each is a tab-separated text,
written whole or not at all, and the tables of several runs (the workflow's chunks) join into
the tables one run over all their samples writes."""

import os

from .._text_files import write_text_atomically
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


def gap_count(result) -> int:
    return (not result.star_allele) + (not result.activity)


def table_text(header, columns, rows) -> str:
    """Comment lines, the column names, then one line per row (a dict; a missing or None cell
    is empty), every cell on one line."""
    lines = list(header) + ["\t".join(columns)]
    for row in rows:
        cells = (row.get(column) for column in columns)
        lines.append("\t".join("" if cell is None else one_line(str(cell)) for cell in cells))
    return "\n".join(lines) + "\n"


def gene_matrix(outcomes, cell):
    """The columns (sample, then every gene of a converted sample, sorted) and one row per
    converted sample with `cell(result)` under each gene its result has."""
    converted = [o for o in outcomes if o is not None and o.ok]
    genes = sorted({result.gene for outcome in converted for result in outcome.results})
    rows = [{"sample": outcome.sample, **{r.gene: cell(r) for r in outcome.results}}
            for outcome in converted]
    return ["sample", *genes], rows


def cohort_tables(outcomes) -> dict:
    """Every cohort-wide table but the summary, by file name, as text. `outcomes` holds one
    SampleOutcome (or None, not converted) per sample, in the samples' order."""
    done = [o for o in outcomes if o is not None]
    warnings = [{"sample": o.sample, "gene": r.gene, "caller": r.source, "warning": warning}
                for o in done if o.ok for r in o.results for warning in r.warnings]
    samples = [{"Sample": o.sample, "status": o.status, "genes": o.genes,
                "gaps": None if not o.ok else sum(1 for r in o.results if gap_count(r)),
                "unmapped_terms": o.unmapped_terms} for o in done]
    tables = {WARNINGS_NAME: table_text((), WARNING_COLUMNS, warnings),
              MULTIQC_SAMPLES_NAME: table_text(MULTIQC_SAMPLES_HEADER, MULTIQC_SAMPLE_COLUMNS,
                                               samples)}
    for name, header, cell in ((STAR_ALLELES_NAME, (), lambda r: r.star_allele),
                               (ACTIVITIES_NAME, (), lambda r: r.activity),
                               (MULTIQC_GAPS_NAME, MULTIQC_GAPS_HEADER, gap_count)):
        tables[name] = table_text(header, *gene_matrix(outcomes, cell))
    return tables


def write_cohort_tables(output_dir, outcomes) -> None:
    for name, text in cohort_tables(outcomes).items():
        write_text_atomically(os.path.join(output_dir, name), text)


def read_table(path):
    """The comment lines, the column names and the rows (dicts) of a table written here."""
    with open(path, encoding="utf-8", newline="") as handle:
        lines = handle.read().split("\n")[:-1]
    header = [line for line in lines if line.startswith("#")]
    body = lines[len(header):]
    columns = body[0].split("\t")
    return header, columns, [dict(zip(columns, line.split("\t"))) for line in body[1:]]


def join_cohort_tables(folders, output_dir) -> None:
    """Writes into OUTPUT_DIR every cohort-wide table of the runs that wrote FOLDERS (at least
    one; each run over other samples, in the samples' order): the rows in folder order, and
    for a table by gene every gene of any folder, sorted."""
    os.makedirs(output_dir, exist_ok=True)
    for name in COHORT_FILES:
        parts = [read_table(os.path.join(folder, name)) for folder in folders]
        header, columns, _ = parts[0]
        if name in GENE_MATRICES:
            genes = {column for _, part_columns, _ in parts for column in part_columns[1:]}
            columns = ["sample", *sorted(genes)]
        rows = [row for _, _, part_rows in parts for row in part_rows]
        write_text_atomically(os.path.join(output_dir, name), table_text(header, columns, rows))
