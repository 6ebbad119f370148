"""
The core's host-compatible helpers, for differential tests against the host.
"""



def json_loads(text: str) -> object:
    """json.loads(text), read by the core's parser."""

def json_dumps(obj: object | None, indent: bool = False) -> str:
    """
    json.dumps(obj, indent=4 if indent else None), written by the core's writer.
    """

def strip(arg: str, /) -> str: ...

def lower(arg: str, /) -> str: ...

def upper(arg: str, /) -> str: ...

def quoted(arg: str, /) -> str: ...

def real_repr(arg: float, /) -> str: ...

def is_decimal(arg: str, /) -> bool: ...

def is_space(arg: str, /) -> bool: ...

def to_text(value: object | None) -> str: ...

def repr(value: object | None) -> str: ...

def unicode_version() -> str: ...

def validate_utf8(arg: bytes, /) -> None: ...

def utf8_error(arg: bytes, /) -> tuple[int, int, str] | None: ...

def csv_rows(text: str, delimiter: str = ',', quotechar: str = '"', doublequote: bool = True, skipinitialspace: bool = False) -> list:
    """list(csv.reader(io.StringIO(text, newline=''), dialect))."""

def csv_dict_rows(text: str, delimiter: str = ',', quotechar: str = '"', doublequote: bool = True, skipinitialspace: bool = False) -> tuple:
    """
    (fieldnames, rows) of csv.DictReader over the same reader; extra cells under None.
    """

def csv_scan(text: str, delimiter: str = ',', quotechar: str = '"', doublequote: bool = True, skipinitialspace: bool = False) -> int:
    """The number of rows the core reader reads, for benchmarks."""

def csv_sniff(sample: str, delimiters: str) -> object:
    """
    csv.Sniffer().sniff(sample, delimiters) as (delimiter, quotechar, doublequote, skipinitialspace), or None where it raises 'Could not determine delimiter'.
    """
