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
