import os
from typing import Any

import OrvellePgxParser.Models.RawCall
import OrvellePgxParser.Parsers.IPgxReader



class StellarPgxAllelesReader(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """Reads StellarPGx's <sample>_<gene>.alleles: one call."""

    def __init__(self, file_path: str | os.PathLike[str]) -> None: ...

    source_name: str = 'stellarpgx'

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...
