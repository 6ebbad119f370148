import os
from typing import Any

import OrvellePgxParser.Models.RawCall
import OrvellePgxParser.Parsers.IPgxReader



class StarPhaseTsvReader(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """Reads <sample>.pbstarphase.tsv."""

    def __init__(self, file_path: str | os.PathLike[str]) -> None: ...

    source_name: str = 'pbstarphase'

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...
