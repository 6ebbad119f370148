from typing import Any



def load_mapping(name: str) -> dict[str, Any]:
    """The packaged mapping table `name` as a dict (parsed once per process)."""
