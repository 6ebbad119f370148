"""python/OrvellePgxParser/_help_formatter.py: argparse's own help formatter, sized as argparse
sizes it by default, but without importing shutil for that: with what shutil imports (three
compression modules among them) it cost a tenth of the command's start-up."""

import argparse
import os
import sys


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


def help_formatter(prog: str) -> argparse.HelpFormatter:
    """The formatter ArgumentParser makes by default (it passes no width, and the formatter
    then takes the terminal's columns less 2)."""
    return argparse.HelpFormatter(prog, width=terminal_columns() - 2)
