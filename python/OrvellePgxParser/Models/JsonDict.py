"""The name under which the converter types a JSON object: text keys, JSON values.

The alias is made on first use: typing costs more to import than the converter's own
modules, and a run does not need it.
"""

__all__ = ["JsonDict"]  # noqa: F822 (made by __getattr__ below)


def __getattr__(name):
    if name != "JsonDict":
        raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
    from typing import Any, Dict

    alias = globals()["JsonDict"] = Dict[str, Any]
    return alias
