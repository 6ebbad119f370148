"""The input readers, the reader factory and the call normaliser."""

from OrvellePgxParser.Parsers.IPgxReader import IPgxReader
from OrvellePgxParser.Parsers.AlleleCallHarmonizer import AlleleCallHarmonizer
from OrvellePgxParser.Parsers.PharmcatJsonReader import (
    PharmcatPhenotypeJsonParser,
    PharmcatReportJsonParser,
)

__all__ = [
    "AlleleCallHarmonizer",
    "IPgxReader",
    "PharmcatPhenotypeJsonParser",
    "PharmcatReportJsonParser",
]
