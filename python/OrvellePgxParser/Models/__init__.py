"""The records: the raw call a reader finds and the gene result that is written."""

import OrvellePgxParser.Models.JsonDict as _alias_module
from OrvellePgxParser.Models.RawCall import RawCall
from OrvellePgxParser.Models.GeneOutcome import GeneOutcome

__all__ = ["GeneOutcome", "JsonDict", "RawCall"]

# Here JsonDict names the alias, not its module. The module is imported above, so that no
# later import binds it under that name; the alias is made when first asked for.
globals().pop("JsonDict", None)


def __getattr__(name):
    if name == "JsonDict":
        alias = globals()["JsonDict"] = _alias_module.JsonDict
        return alias
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
