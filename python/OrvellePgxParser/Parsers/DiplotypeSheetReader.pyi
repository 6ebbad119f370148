import os
from typing import Any

import OrvellePgxParser.Parsers.IPgxReader



class DiplotypeSheetReader(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """Reads a user-supplied Gene/Diplotype table."""

    def __init__(self, file_path: str | os.PathLike[str]) -> None: ...

    source_name: str = 'diplotype_table'

    GENE_ALIASES: tuple = ...

    DIPLOTYPE_ALIASES: tuple = ...

    PHENOTYPE_ALIASES: tuple = ...

    def parse(self) -> list: ...
