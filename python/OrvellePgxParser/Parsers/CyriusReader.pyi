from collections.abc import Sequence
import os
from typing import Any

import OrvellePgxParser.Models.RawCall
import OrvellePgxParser.Parsers.IPgxReader



class CyriusReader(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """
    Reads Cyrius's <prefix>.tsv or <prefix>.json: CYP2D6, one call a sample.
    """

    def __init__(self, file_path: str | os.PathLike[str], sample: str | None = None) -> None: ...

    source_name: str = 'cyrius'

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...

    @staticmethod
    def is_cyrius_table(header: Sequence[str]) -> bool: ...
