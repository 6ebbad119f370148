"""The JSON Schemas of the result and the sidecar: valid draft 2020-12, shipped with the
package as docs/schema/ holds them, and strict where the format is a contract."""

import json
from pathlib import Path

import pytest
from jsonschema import Draft202012Validator

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

from written_outputs import SCHEMA_NAMES, installed_schema, schema_errors

DOCS = Path(__file__).resolve().parents[1] / "docs" / "schema"
EXAMPLE = Path(__file__).resolve().parents[1] / "examples" / "sample"


@pytest.mark.parametrize("name", SCHEMA_NAMES)
def test_the_package_ships_the_documented_schemas(name):
    schema = installed_schema(name)
    assert schema == json.loads((DOCS / name).read_text())
    Draft202012Validator.check_schema(schema)
    assert schema["$schema"] == "https://json-schema.org/draft/2020-12/schema"


@pytest.fixture
def written(tmp_path):
    """The result and sidecar of the example sample, gzip result included."""
    OrvellePgxParser({"input_dir": str(EXAMPLE), "output_dir": str(tmp_path),
                      "gzip_output": True}).run()
    return tmp_path / "orvelle_pgx.json.gz", tmp_path / "orvelle_pgx.provenance.json"


def test_a_real_run_passes_and_a_broken_result_does_not(written, tmp_path):
    assert schema_errors(tmp_path) == []
    result = tmp_path / "broken.json"
    genes = [{"Id": "CYP2D6", "Name": "CYP2D6", "StarAllele": "*1/*1", "Activity": 1.5,
              "source": "pypgx"}, {"Id": "CYP2C19", "Name": "CYP2C19", "Activity": None}]
    result.write_text(json.dumps(genes))
    assert sorted(schema_errors(tmp_path)) == [
        f"{result}: 'StarAllele' is a required property at $[1]",
        f"{result}: 1.5 is not of type 'string', 'null' at $[0].Activity",
        f"{result}: Additional properties are not allowed ('source' was unexpected) at $[0]",
    ]
    result.unlink()


def test_the_sidecar_is_strict_on_its_members_and_open_to_new_ones(written, tmp_path):
    sidecar = json.loads(written[1].read_text())
    sidecar["droppedGenes"] = ["CYP2B6"]  # what a later version may add
    sidecar["genes"][0]["warningsByKind"] = {}
    written[1].write_text(json.dumps(sidecar))
    assert schema_errors(tmp_path) == []
    del sidecar["callers"]
    sidecar["unmappedTerms"] = ["CYP2D6 without a tab"]
    sidecar["genes"][0]["warnings"] = [""]
    written[1].write_text(json.dumps(sidecar))
    assert sorted(e.split(": ", 1)[1] for e in schema_errors(tmp_path)) == [
        "'' should be non-empty at $.genes[0].warnings[0]",
        "'CYP2D6 without a tab' does not match '^[^\\\\t]+\\\\t' at $.unmappedTerms[0]",
        "'callers' is a required property at $",
    ]
    written[1].unlink()
