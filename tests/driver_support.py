"""Helpers for the driver tests: small fixed mapping tables and input files."""

import json
from pathlib import Path

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

RULES = {
    "version": "test-rules",
    "passthrough_sources": ["pypgx"],
    "no_call_tokens": ["n/a", "Unknown/Unknown"],
    "phenotype_source_preference": ["CPIC", "DPWG"],
    "allow_source_fallback": True,
    "recoverable_genes": ["CYP2B6"],
}
PHENOTYPES = {
    "version": "test-phenotypes",
    "global": {"Normal Metabolizer": "Normal Metabolizer", "Poor Metabolizer": "Poor Metabolizer"},
    "genes": {},
}
GENOTYPES = {"version": "test-genotypes", "alleles": {}, "diplotype_activity": {}}


def driver(request=None, rules=RULES):
    """A driver whose normaliser uses the small tables above instead of the shipped ones."""
    parser = OrvellePgxParser(request)
    parser.normalizer.rules = dict(rules)
    parser.normalizer.phenotype_terms = PHENOTYPES
    parser.normalizer.genotype_terms = GENOTYPES
    return parser


def pharmcat_report(path: Path, genes: dict, **root) -> Path:
    """A gene-keyed PharmCAT report: {gene: (label, [phenotypes])}."""
    reports = {
        gene: {"geneSymbol": gene,
               "sourceDiplotypes": [{"label": label, "phenotypes": phenotypes}]}
        for gene, (label, phenotypes) in genes.items()
    }
    path.write_text(json.dumps({"pharmcatVersion": "3.1", "genes": reports, **root}))
    return path


def diplotype_csv(path: Path, rows) -> Path:
    path.write_text("Gene,Diplotype,Phenotype\n" + "".join(f"{g},{d},{p}\n" for g, d, p in rows))
    return path
