from collections.abc import Sequence
import os
from typing import Any

import OrvellePgxParser.Parsers.IPgxReader



class PyPgxTableReader(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """Reads a PyPGx sample table (data.tsv, one gene per file)."""

    def __init__(self, file_path: str | os.PathLike[str], sample: str | None = None) -> None: ...

    source_name: str = 'pypgx'

    GENOTYPE_COLUMN: str = 'Genotype'

    PHENOTYPE_COLUMN: str = 'Phenotype'

    HAPLOTYPE_COLUMNS: tuple = ('Haplotype1', 'Haplotype2')

    GENE_COLUMNS: tuple = ('Gene', 'gene')

    @property
    def sample(self) -> str | None:
        """The sample whose rows are read; None: every row."""

    def parse(self) -> list: ...

    @staticmethod
    def is_pypgx_table(header: Sequence[str]) -> bool: ...
