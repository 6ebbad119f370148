from collections.abc import Mapping, Sequence, Set
from typing import Any, Literal, overload

from OrvellePgxParser.Models.GeneOutcome import GeneOutcome
from OrvellePgxParser.Models.JsonDict import JsonDict
from OrvellePgxParser.Parsers.AlleleCallHarmonizer import (
    AlleleCallHarmonizer
)



class OrvellePgxParser:
    """Converts one sample's PGx caller output into Orvelle results."""


    def __init__(self, json_request: Mapping[str, Any] | None = None) -> None: ...

    @property
    def input_files(self) -> list[str]: ...

    @input_files.setter
    def input_files(self, arg: Sequence[str], /) -> None: ...

    @property
    def input_dir(self) -> str: ...

    @input_dir.setter
    def input_dir(self, arg: str, /) -> None: ...

    @property
    def output_dir(self) -> str: ...

    @output_dir.setter
    def output_dir(self, arg: str, /) -> None: ...

    @property
    def output_json(self) -> str: ...

    @output_json.setter
    def output_json(self, arg: str, /) -> None: ...

    @property
    def gzip_output(self) -> bool: ...

    @gzip_output.setter
    def gzip_output(self, arg: bool, /) -> None: ...

    @property
    def write_provenance(self) -> bool: ...

    @write_provenance.setter
    def write_provenance(self, arg: bool, /) -> None: ...

    @property
    def recover_dropped_genes(self) -> bool: ...

    @recover_dropped_genes.setter
    def recover_dropped_genes(self, arg: bool, /) -> None: ...

    @property
    def gene_filter(self) -> set[str]: ...

    @gene_filter.setter
    def gene_filter(self, arg: Set[str], /) -> None: ...

    @property
    def normalizer(self) -> AlleleCallHarmonizer: ...

    @property
    def phenotype_source(self) -> str | None: ...

    @phenotype_source.setter
    def phenotype_source(self, arg: str | None, /) -> None: ...

    @property
    def sample(self) -> str | None: ...

    @sample.setter
    def sample(self, arg: str | None, /) -> None: ...

    @property
    def sample_label(self) -> str | None: ...

    @sample_label.setter
    def sample_label(self, arg: str | None, /) -> None: ...

    @property
    def sync_each_file(self) -> bool: ...

    @sync_each_file.setter
    def sync_each_file(self, arg: bool, /) -> None: ...

    @property
    def named_sample(self) -> str | None: ...

    @property
    def failed_input(self) -> str | None: ...

    @property
    def provenance(self) -> dict[str, Any]: ...

    @property
    def dropped_genes(self) -> list[str]: ...

    @property
    def missing_genes(self) -> list[str]: ...

    @property
    def unknown_genes(self) -> list[str]: ...

    @overload
    def run(self, return_list: Literal[False] = False) -> None: ...
    @overload
    def run(self, return_list: Literal[True]) -> list[JsonDict]: ...
    @overload
    def run(self, return_list: object) -> list[JsonDict] | None: ...

    def parse_files(self) -> list[GeneOutcome]: ...

    def write_results(self, results: Sequence[GeneOutcome]) -> None: ...

    INPUT_SUFFIXES: tuple[str, ...] = ('.json', '.csv', '.tsv', '.zip', '.alleles', '.aldy', '.txt')

    __version__: str

def from_cli() -> None:
    """
    Runs one conversion from the command line (the command orvelle-pgx-parser).
    """

__version__: str
