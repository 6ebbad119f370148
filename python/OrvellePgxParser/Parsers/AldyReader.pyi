from collections.abc import Sequence
import os
from typing import Any

import OrvellePgxParser.Models.RawCall
import OrvellePgxParser.Parsers.IPgxReader



class AldyReader(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """Reads Aldy's <input>.<gene>.aldy: one call a gene."""

    def __init__(self, file_path: str | os.PathLike[str]) -> None: ...

    source_name: str = 'aldy'

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...

    @staticmethod
    def is_aldy_table(header: Sequence[str]) -> bool: ...
