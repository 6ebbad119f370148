"""The command ``orvelle-pgx-cohort``: the samples of input folders and/or a manifest, converted
in one process. Exit status 0 when every sample was converted, 1 when any failed (they are
named at the end) or the run could not start, 2 for a malformed command line."""

import argparse
import logging
import os
import sys

LEVELS = ("CRITICAL", "FATAL", "ERROR", "WARNING", "WARN", "INFO", "DEBUG", "NOTSET")


class SampleFormatter(logging.Formatter):
    """The single command's "LEVEL message", with the sample's name before a sample's lines."""

    def formatMessage(self, record):
        sample = getattr(record, "sample", None)
        prefix = "" if sample is None else f"{sample}: "
        return f"{record.levelname} {prefix}{record.message}"


def argument_parser(version):
    parser = argparse.ArgumentParser(
        prog="orvelle-pgx-cohort",
        description="Convert the PGx caller output of many samples into the Orvelle PGx JSON "
                    "format, one result and sidecar per sample, in one process.")
    parser.add_argument("input_dirs", nargs="*", metavar="INPUT_DIR",
                        help="folders whose sub-folders are one sample each")
    parser.add_argument("--output-dir", required=True,
                        help="where <sample>.json, <sample>.provenance.json and "
                             "cohort-summary.tsv go")
    parser.add_argument("--manifest", help="tab-separated file with the columns sample and path, "
                                           "one row per input file")
    parser.add_argument("--jobs", type=int, default=None,
                        help="samples converted at once (default: the number of cores)")
    parser.add_argument("--resume", action="store_true",
                        help="keep the samples an earlier run into the output folder converted "
                             "with the same options, and convert the rest")
    parser.add_argument("--sync-each-file", action="store_true",
                        help="flush each file to disk on its own, as the single command does "
                             "(slower; by default the files are synced in batches)")
    parser.add_argument("--gzip", action="store_true", help="gzip the output")
    parser.add_argument("--no-provenance", action="store_true")
    parser.add_argument("--no-recover", action="store_true",
                        help="do not recover genes PharmCAT dropped")
    parser.add_argument("--genes", nargs="*", help="restrict output to these genes")
    parser.add_argument("--phenotype-source",
                        help="preferred PharmCAT phenotype source (CPIC or DPWG). Falls back to "
                             "the other source for genes the chosen one does not give a usable "
                             "phenotype for. Defaults to CPIC.")
    parser.add_argument("--log-level", default="INFO")
    parser.add_argument("--version", action="version", version=f"orvelle-pgx-cohort {version}")
    return parser


def set_up_logging(level_name):
    name = level_name.upper()
    handler = logging.StreamHandler()  # standard error
    handler.setFormatter(SampleFormatter())
    # basicConfig leaves a host's own logging set-up as it is.
    logging.basicConfig(level=getattr(logging, name) if name in LEVELS else logging.INFO,
                        handlers=[handler])


def main(argv=None):
    from OrvellePgxParser.OrvellePgxParser import __version__
    from . import convert_cohort, samples_from_folders, samples_from_manifest

    parser = argument_parser(__version__)
    args = parser.parse_args(argv)
    if not args.input_dirs and not args.manifest:
        parser.error("give INPUT_DIR folders, a --manifest, or both")
    if args.jobs is not None and args.jobs < 1:
        parser.error("--jobs must be at least 1")
    set_up_logging(args.log_level)

    try:
        samples = samples_from_folders(args.input_dirs, skip=args.output_dir)
        if args.manifest:
            samples += samples_from_manifest(args.manifest)
        if not samples:
            raise ValueError("no samples found: the input folders have no sub-folders and no "
                             "manifest names a sample")
        outcomes = convert_cohort(
            samples, args.output_dir, jobs=args.jobs, gzip_output=args.gzip,
            write_provenance=not args.no_provenance, recover_dropped_genes=not args.no_recover,
            gene_filter=args.genes, phenotype_source=args.phenotype_source,
            progress=sys.stderr.isatty(), resume=args.resume,
            sync_each_file=args.sync_each_file)
    except KeyboardInterrupt:
        print("orvelle-pgx-cohort: interrupted; finished samples are written, see "
              f"{os.path.join(args.output_dir, 'cohort-summary.tsv')}", file=sys.stderr)
        sys.exit(130)
    except (OSError, ValueError) as error:
        print(f"orvelle-pgx-cohort: error: {error}", file=sys.stderr)
        sys.exit(1)

    failed = [o for o in outcomes if not o.ok]
    if failed:
        print(f"orvelle-pgx-cohort: {len(failed)} of {len(outcomes)} samples failed:",
              file=sys.stderr)
        for outcome in failed:
            print(f"  {outcome.sample}: {outcome.error}", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
