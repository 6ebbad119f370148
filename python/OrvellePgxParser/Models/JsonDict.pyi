# The JSON object alias as type checkers see it; the module makes it on first use.
from typing import Any, Dict

JsonDict = Dict[str, Any]
