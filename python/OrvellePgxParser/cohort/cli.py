"""The command ``orvelle-pgx-cohort``: the samples of input folders and/or a manifest, converted
in one process. Exit status 0 when every sample was converted, 1 when any failed (they are
named at the end) or the run could not start, 2 for a malformed command line."""

import logging
import os
import sys

from OrvellePgxParser._command import COHORT, log_level, parse_arguments


class SampleFormatter(logging.Formatter):
    """The single command's "LEVEL message", with the sample's name before a sample's lines."""

    def formatMessage(self, record):
        sample = getattr(record, "sample", None)
        prefix = "" if sample is None else f"{sample}: "
        return f"{record.levelname} {prefix}{record.message}"


def set_up_logging(level_name):
    handler = logging.StreamHandler()  # standard error
    handler.setFormatter(SampleFormatter())
    # basicConfig leaves a host's own logging set-up as it is.
    logging.basicConfig(level=log_level(level_name), handlers=[handler])


def main(argv=None):
    from OrvellePgxParser.OrvellePgxParser import __version__
    from . import convert_cohort, samples_from_folders, samples_from_manifest

    args = parse_arguments(COHORT, __version__, argv)
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
            outside_calls=args.outside_calls, progress=sys.stderr.isatty(),
            resume=args.resume, sync_each_file=args.sync_each_file)
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
