"""python/OrvellePgxParser/_command.py: what the package's two commands share: one table of
their options with the help texts, the parser made from it, and the checks of a command line
that argparse cannot make.

The parser lays its help out exactly as argparse does by default, only sized without
importing shutil for it: with what shutil imports (three compression modules among them)
that cost a tenth of a command's start-up.
"""

import argparse
import os
import sys

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

# The endings of input files (a folder scan reads these), and gzip's: never a gene symbol.
FILE_ENDINGS = (*OrvellePgxParser.INPUT_SUFFIXES, ".gz")

SINGLE = "orvelle-pgx-parser"
COHORT = "orvelle-pgx-cohort"
BOTH = (SINGLE, COHORT)

DESCRIPTIONS = {
    SINGLE: "Convert one sample's pharmacogenomic caller output (PharmCAT, pbStarPhase, PyPGx, "
            "the CYP2D6 specialists Cyrius, StellarPGx and Aldy, hand-made Gene/Diplotype "
            "tables) into the Orvelle PGx JSON format for upload to Orvelle Analysis, with a "
            "provenance sidecar.",
    COHORT: "Convert the pharmacogenomic caller output (PharmCAT, pbStarPhase, PyPGx, the CYP2D6 "
            "specialists Cyrius, StellarPGx and Aldy, hand-made Gene/Diplotype tables) of many "
            "samples into the Orvelle PGx JSON format, one result and sidecar per sample, in "
            "one process.",
}

# Each option once: the commands that take it, its names, and argparse's keywords. A command's
# help lists its options in this order, --version last.
OPTIONS = (
    ((SINGLE,), ("input_files",), dict(
        nargs="*",
        help="caller output files (" + ", ".join(OrvellePgxParser.INPUT_SUFFIXES) + ", each "
             "also gzip-compressed as .gz); without any, every such file of --input-dir is "
             "read")),
    ((COHORT,), ("input_dirs",), dict(
        nargs="*", metavar="INPUT_DIR", help="folders whose sub-folders are one sample each")),
    ((SINGLE,), ("--input-dir",), dict(
        default=".", help="the folder read when no input files are given (default: the "
                          "current folder); a named file that is missing is looked up here")),
    ((SINGLE,), ("--output-dir",), dict(
        help="where the result and its sidecar go (default: the current folder)")),
    ((COHORT,), ("--output-dir",), dict(
        required=True, help="where <sample>.json, <sample>.provenance.json, "
                            "cohort-summary.tsv and the cohort's other tables go")),
    ((SINGLE,), ("--output-json",), dict(
        default="orvelle_pgx.json",
        help="the result's file name (default: %(default)s); - writes the result to standard "
             "output, and the sidecar only when --output-dir is given")),
    ((COHORT,), ("--manifest",), dict(
        help="tab-separated file with the columns sample and path, one row per input file")),
    ((COHORT,), ("--jobs",), dict(
        type=int, default=None, help="samples converted at once (default: the number of cores)")),
    ((COHORT,), ("--resume",), dict(
        action="store_true",
        help="keep the samples an earlier run converted into the output folder with the same "
             "options, and convert the rest")),
    ((COHORT,), ("--sync-each-file",), dict(
        action="store_true",
        help="flush each file to disk on its own, as the single command does (slower; by "
             "default the files are synced in batches)")),
    (BOTH, ("--gzip",), dict(
        action="store_true", help="write the result gzip-compressed, adding .gz to its name")),
    (BOTH, ("--no-provenance",), dict(
        action="store_true", help="write no provenance sidecar")),
    (BOTH, ("--no-recover",), dict(
        action="store_true",
        help="drop every gene that only pbStarPhase reported (by default such a gene is kept "
             "where the mapping tables mark it recoverable, and always without PharmCAT output)")),
    (BOTH, ("--genes",), dict(
        nargs="*", metavar="GENE",
        help="restrict the output to these gene symbols (exact, case-sensitive); input files "
             "go before --genes or after --")),
    (BOTH, ("--phenotype-source",), dict(
        metavar="SOURCE",
        help="the PharmCAT guideline section preferred, CPIC or DPWG (default: CPIC); the other "
             "is still consulted for genes the chosen one gives no usable phenotype for")),
    ((SINGLE,), ("--sample",), dict(
        metavar="NAME",
        help="the sample to convert when the inputs name several; files naming another sample "
             "contribute nothing")),
    ((SINGLE,), ("--outside-calls",), dict(
        metavar="FILE",
        help="also write the results as a PharmCAT outside-call file (the genes PharmCAT takes "
             "and did not call itself)")),
    ((COHORT,), ("--outside-calls",), dict(
        action="store_true",
        help="also write each sample's results as a PharmCAT outside-call file, "
             "<sample>.outside.tsv beside its result")),
    (BOTH, ("--log-level",), dict(
        default="INFO", metavar="LEVEL",
        help="the lowest level logged to standard error: DEBUG, INFO, WARNING, ERROR or "
             "CRITICAL (default: %(default)s)")),
)

# The standard level names --log-level takes; anything else is INFO.
LEVELS = ("CRITICAL", "FATAL", "ERROR", "WARNING", "WARN", "INFO", "DEBUG", "NOTSET")


def argument_parser(prog: str, version: str) -> argparse.ArgumentParser:
    """The parser of one command (SINGLE or COHORT), from the option table."""
    parser = argparse.ArgumentParser(prog=prog, description=DESCRIPTIONS[prog],
                                     formatter_class=help_formatter)
    for commands, names, keywords in OPTIONS:
        if prog in commands:
            parser.add_argument(*names, **keywords)
    add_version_option(parser, version)
    return parser


def parse_arguments(prog: str, version: str, argv=None) -> argparse.Namespace:
    """The command line parsed, with the checks argparse cannot make; a usage error ends the
    process with status 2, as argparse's own do."""
    parser = argument_parser(prog, version)
    args = parser.parse_args(argv)
    # argparse gives --genes every word up to the next option: a file there was meant as input.
    for gene in args.genes or ():
        if os.path.exists(gene) or gene.lower().endswith(FILE_ENDINGS):
            parser.error(f"--genes takes gene symbols, and {gene!r} is a file name: put input "
                         "files before --genes, or after --")
    if prog == SINGLE and args.output_json == "-" and args.gzip:
        parser.error("--gzip cannot be used with --output-json -: standard output takes the "
                     "indented JSON")
    if prog == COHORT and not args.input_dirs and not args.manifest:
        parser.error("give INPUT_DIR folders, a --manifest, or both")
    if prog == COHORT and args.jobs is not None and args.jobs < 1:
        parser.error("--jobs must be at least 1")
    return args


def log_level(name: str) -> int:
    """The logging level --log-level names (in any case), INFO for a name it does not know."""
    import logging  # the commands configure logging anyway; a parser alone needs none

    name = str(name).upper()
    return getattr(logging, name) if name in LEVELS else logging.INFO


def add_version_option(parser: argparse.ArgumentParser, version: str) -> None:
    """--version prints "<prog> <version>" to standard output and ends the process with
    status 0. Added after a command's own arguments, so that its help lists it last."""
    shown = "%(prog)s " + version.replace("%", "%%")  # argparse fills in %(prog)s
    parser.add_argument("--version", action="version", version=shown)


def help_formatter(prog: str) -> argparse.HelpFormatter:
    """The formatter ArgumentParser makes by default (it passes no width, and the formatter
    then takes the terminal's columns less 2)."""
    return argparse.HelpFormatter(prog, width=terminal_columns() - 2)


def terminal_columns() -> int:
    """shutil.get_terminal_size().columns: $COLUMNS when it is a positive number, else the
    width of the terminal on standard output, else 80."""
    try:
        columns = int(os.environ["COLUMNS"])
    except (KeyError, ValueError):
        columns = 0
    if columns > 0:
        return columns
    try:
        return os.get_terminal_size(sys.__stdout__.fileno()).columns or 80
    except (AttributeError, ValueError, OSError):
        return 80
