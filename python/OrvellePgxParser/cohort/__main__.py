"""``python -m OrvellePgxParser.cohort``: the command ``orvelle-pgx-cohort``."""

from .cli import main

if __name__ == "__main__":
    main()
