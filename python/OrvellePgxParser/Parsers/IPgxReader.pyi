import os
from typing import Any

import OrvellePgxParser.Models.RawCall



class IPgxReader:
    """The contract of every input reader."""

    def __init__(self, file_path: str | os.PathLike[str]) -> None: ...

    @property
    def file_path(self) -> str: ...

    @property
    def unknown_genes(self) -> list[str]:
        """
        After parse(): the gene cells of the table rows skipped as naming no known gene.
        """

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...

    source_name: str = 'unknown'
