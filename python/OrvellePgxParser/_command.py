"""python/OrvellePgxParser/_command.py: what the package's commands share: their argparse
parser, made alike, and the --version option.

The parser lays its help out exactly as argparse does by default, only sized without
importing shutil for it: with what shutil imports (three compression modules among them)
that cost a tenth of a command's start-up.
"""

import argparse
import os
import sys


def argument_parser(prog: str, description: str) -> argparse.ArgumentParser:
    """argparse.ArgumentParser(prog=prog, description=description), help as by default."""
    return argparse.ArgumentParser(prog=prog, description=description,
                                   formatter_class=help_formatter)


def add_version_option(parser: argparse.ArgumentParser, version: str) -> None:
    """--version prints "<prog> <version>" to standard output and ends the process with
    status 0. A command adds it after its own arguments, so that its help lists it last."""
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
