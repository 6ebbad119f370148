"""The input readers, the reader factory and the call normaliser."""

from OrvellePgxParser.Parsers.IPgxReader import IPgxReader
from OrvellePgxParser.Parsers.AlleleCallHarmonizer import AlleleCallHarmonizer
from OrvellePgxParser.Parsers.PharmcatJsonReader import (
    PharmcatPhenotypeJsonParser,
    PharmcatReportJsonParser,
)
from OrvellePgxParser.Parsers.StarPhaseJsonReader import StarPhaseJsonReader
from OrvellePgxParser.Parsers.StarPhaseTsvReader import StarPhaseTsvReader
from OrvellePgxParser.Parsers.PyPgxTableReader import PyPgxTableReader
from OrvellePgxParser.Parsers.PharmcatReportTsvReader import PharmcatReportTsvReader
from OrvellePgxParser.Parsers.CyriusReader import CyriusReader
from OrvellePgxParser.Parsers.StellarPgxAllelesReader import StellarPgxAllelesReader
from OrvellePgxParser.Parsers.StellarPgxSummaryReader import StellarPgxSummaryReader
from OrvellePgxParser.Parsers.AldyReader import AldyReader
from OrvellePgxParser.Parsers.DiplotypeSheetReader import DiplotypeSheetReader
from OrvellePgxParser.Parsers.PgxReaderFactory import PgxReaderFactory

__all__ = [
    "AldyReader",
    "AlleleCallHarmonizer",
    "CyriusReader",
    "DiplotypeSheetReader",
    "IPgxReader",
    "PgxReaderFactory",
    "PharmcatPhenotypeJsonParser",
    "PharmcatReportJsonParser",
    "PharmcatReportTsvReader",
    "PyPgxTableReader",
    "StarPhaseJsonReader",
    "StarPhaseTsvReader",
    "StellarPgxAllelesReader",
    "StellarPgxSummaryReader",
]
