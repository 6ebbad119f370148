import os
from typing import Any

import OrvellePgxParser.Models.RawCall
import OrvellePgxParser.Parsers.IPgxReader



class PharmcatReportTsvReader(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """Reads PharmCAT's calls-only <base>.report.tsv."""

    def __init__(self, file_path: str | os.PathLike[str], sample: str | None = None) -> None: ...

    source_name: str = 'pharmcat_report'

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...

    def read_versions(self) -> dict[str, Any]: ...

    @property
    def sample_read(self) -> str | None:
        """
        After parse(): the sample whose rows were read from a merged report; None for a report of one sample.
        """
