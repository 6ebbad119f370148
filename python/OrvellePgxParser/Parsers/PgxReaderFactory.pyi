import os
from typing import Any

import OrvellePgxParser.Parsers.IPgxReader



class PgxReaderFactory:
    """Dispatch on file name first, then on content."""

    @staticmethod
    def get_parser(file_path: str | os.PathLike[str]) -> OrvellePgxParser.Parsers.IPgxReader.IPgxReader: ...
