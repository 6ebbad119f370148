"""The name under which the converter types a JSON object: text keys, JSON values."""

from typing import Any, Dict

JsonDict = Dict[str, Any]
