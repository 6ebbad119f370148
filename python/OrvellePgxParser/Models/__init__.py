"""The records: the raw call a reader finds and the gene result that is written."""

from OrvellePgxParser.Models.JsonDict import JsonDict
from OrvellePgxParser.Models.RawCall import RawCall
from OrvellePgxParser.Models.GeneOutcome import GeneOutcome

__all__ = ["GeneOutcome", "JsonDict", "RawCall"]
