"""The packaged mapping tables (the JSON files in this folder) and their loader."""

from OrvellePgxParser.Mappings.MappingTables import load_mapping

__all__ = ["load_mapping"]
