# The records package as type checkers see it: JsonDict is the alias, not its module.
from OrvellePgxParser.Models.GeneOutcome import GeneOutcome as GeneOutcome
from OrvellePgxParser.Models.JsonDict import JsonDict as JsonDict
from OrvellePgxParser.Models.RawCall import RawCall as RawCall

__all__ = ["GeneOutcome", "JsonDict", "RawCall"]
