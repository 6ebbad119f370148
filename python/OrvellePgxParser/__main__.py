"""The command ``orvelle-pgx-parser`` (also ``python -m OrvellePgxParser``).

``from_cli`` lets a failed conversion propagate; here it ends the process with a non-zero
status and one line on standard error instead of a traceback. Usage errors already end with
status 2 inside argparse.
"""

import atexit
import gc
import sys


def main() -> None:
    # One conversion per process: what start-up makes lives until the end, so the cyclic
    # collector would only walk it again and again, and once more in full at exit (a few ms
    # of every run). Frozen last (after logging has flushed its handlers), it is left alone.
    gc.disable()
    atexit.register(gc.freeze)

    from OrvellePgxParser.OrvellePgxParser import from_cli

    try:
        from_cli()
    except KeyboardInterrupt:
        sys.exit(130)
    except Exception as error:  # a conversion failure: report it in one line
        message = str(error).replace("\n", " ") or type(error).__name__
        print(f"orvelle-pgx-parser: error: {message}", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
