import os
from typing import Any

import OrvellePgxParser.Models.RawCall
import OrvellePgxParser.Parsers.IPgxReader



class PharmcatPhenotypeJsonParser(OrvellePgxParser.Parsers.IPgxReader.IPgxReader):
    """Reads <sample>.pharmcat.phenotype.json."""

    def __init__(self, file_path: str | os.PathLike[str]) -> None: ...

    def parse(self) -> list[OrvellePgxParser.Models.RawCall.RawCall]: ...

    source_name: str = 'pharmcat_phenotype'

class PharmcatReportJsonParser(PharmcatPhenotypeJsonParser):
    """Reads <sample>.pharmcat.report.json, with its versions."""

    def __init__(self, file_path: str | os.PathLike[str]) -> None: ...

    def read_versions(self) -> dict[str, Any]: ...

    source_name: str = 'pharmcat_report'
