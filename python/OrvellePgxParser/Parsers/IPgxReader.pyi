import os
from typing import Any

import OrvellePgxParser.Models.RawCall



class IPgxReader:
    """The contract of every input reader."""

    def __init__(self, file_path: str | os.PathLike[str]) -> None: ...

    @property
    def file_path(self) -> str: ...

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...

    source_name: str = 'unknown'
