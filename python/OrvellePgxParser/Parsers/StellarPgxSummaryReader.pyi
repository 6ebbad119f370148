import os
from typing import Any

import OrvellePgxParser.Models.RawCall
import OrvellePgxParser.Parsers.IPgxReader



class StellarPgxSummaryReader(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """
    Reads StellarPGx's cohort summary (<run>_summary.txt): one call a sample, the gene from the file's name or folder.
    """

    def __init__(self, file_path: str | os.PathLike[str], sample: str | None = None) -> None: ...

    source_name: str = 'stellarpgx'

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...

    def gene(self) -> str:
        """
        The gene the file's name, else its folder, names; ValueError when none or two.
        """
