"""The input readers, the reader factory and the call normaliser."""

from OrvellePgxParser.Parsers.IPgxReader import IPgxReader
from OrvellePgxParser.Parsers.PharmcatJsonReader import (
    PharmcatPhenotypeJsonParser,
    PharmcatReportJsonParser,
)

__all__ = ["IPgxReader", "PharmcatPhenotypeJsonParser", "PharmcatReportJsonParser"]
