"""What loading the package does, each in a fresh interpreter: the table folder is set where the
package starts, and a load imports nothing a run does not need."""

import subprocess
import sys


def fresh(code):
    done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                          timeout=60)
    assert done.returncode == 0, done.stderr
    return done.stdout.strip()


def test_the_normaliser_finds_the_packaged_tables_without_the_mappings_module():
    out = fresh(
        "import sys\n"
        "from OrvellePgxParser.Parsers.AlleleCallHarmonizer import AlleleCallHarmonizer\n"
        "versions = AlleleCallHarmonizer().mapping_versions\n"
        "print(sorted(versions), 'OrvellePgxParser.Mappings' in sys.modules)")
    assert out == "['gene_rules', 'genotype_terms', 'phenotype_terms'] False"


def test_a_conversion_needs_neither_metadata_machinery_nor_typing_nor_the_readers(tmp_path):
    (tmp_path / "CYP2D6.tsv").write_text("\tGenotype\tPhenotype\nS1\t*1/*4\tIntermediate "
                                         "Metabolizer\n", encoding="utf-8")
    out = fresh(
        "import sys\n"
        "from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser\n"
        f"payload = OrvellePgxParser({{'input_dir': {str(tmp_path)!r}}}).run(return_list=True)\n"
        "print(payload[0]['StarAllele'], sorted(m for m in ('importlib.metadata', 'typing', "
        "'email', 'zipfile', 'csv', 'OrvellePgxParser.Parsers', 'OrvellePgxParser.Models') "
        "if m in sys.modules))")
    assert out == "*1/*4 []"


def test_a_fresh_driver_hands_over_its_records_and_normaliser(tmp_path):
    # Their classes' modules are imported at the first hand-over, not with the driver.
    (tmp_path / "CYP2D6.tsv").write_text("\tGenotype\tPhenotype\nS1\t*1/*4\tIntermediate "
                                         "Metabolizer\n", encoding="utf-8")
    out = fresh(
        "from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser\n"
        f"driver = OrvellePgxParser({{'input_dir': {str(tmp_path)!r}}})\n"
        "outcome, = driver.parse_files()\n"
        "print(type(outcome).__qualname__, outcome.star_allele,\n"
        "      type(driver.normalizer).__qualname__, driver.normalizer is driver.normalizer)")
    assert out == "GeneOutcome *1/*4 AlleleCallHarmonizer True"


def test_json_dict_is_the_typing_alias_in_every_import_order():
    out = fresh(
        "import typing\n"
        "import OrvellePgxParser.Models.JsonDict\n"
        "import OrvellePgxParser.Models.JsonDict as as_module\n"
        "from OrvellePgxParser.Models import JsonDict\n"
        "from OrvellePgxParser.Models.JsonDict import JsonDict as inner\n"
        "import OrvellePgxParser.Models as models\n"
        "alias = typing.Dict[str, typing.Any]\n"
        "print(JsonDict == alias, inner is JsonDict, as_module is JsonDict,\n"
        "      models.JsonDict is JsonDict, 'JsonDict' in models.__all__)")
    assert out == "True True True True True"
