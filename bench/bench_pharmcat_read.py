"""bench/bench_pharmcat_read.py: reading a PharmCAT report into raw calls, against json.load.

Generates a PharmCAT 3.0-layout report of a few MB (gene reports keyed by source and gene, and
the drug annotations that hold most of the bytes), checks that the report reader returns the
calls the document holds, then times the reader's parse() and the host's json.load of the
same file side by side, and prints both and their ratio.

    .venv/bin/python bench/bench_pharmcat_read.py [--megabytes 4] [--repeat 15]
"""

import argparse
import json
import os
import random
import tempfile

from timing import best_of

from OrvellePgxParser.Models import RawCall
from OrvellePgxParser.OrvellePgxConstants import OrvellePgxConstants
from OrvellePgxParser.Parsers import PharmcatReportJsonParser

GENES = {
    "CPIC": ["ABCG2", "CACNA1S", "CFTR", "CYP2B6", "CYP2C19", "CYP2C9", "CYP2D6", "CYP3A5",
             "CYP4F2", "DPYD", "G6PD", "HLA-A", "HLA-B", "IFNL3", "MT-RNR1", "NUDT15", "RYR1",
             "SLCO1B1", "TPMT", "UGT1A1", "VKORC1"],
    "DPWG": ["ABCG2", "CYP2B6", "CYP2C19", "CYP2C9", "CYP2D6", "CYP3A4", "CYP3A5", "DPYD",
             "HLA-B", "NUDT15", "SLCO1B1", "TPMT", "UGT1A1", "VKORC1"],
}
FUNCTIONS = ["Normal function", "Decreased function", "No function", "Increased function"]
PHENOTYPES = ["Normal Metabolizer", "Intermediate Metabolizer", "Poor Metabolizer",
              "Rapid Metabolizer", "Normal Function", "Decreased Function"]
VERSION = "2025-05-14-21-40"


def allele(rng, gene):
    return {
        "gene": gene,
        "name": f"*{rng.randint(1, 60)}",
        "function": rng.choice(FUNCTIONS),
        "reference": rng.random() < 0.3,
        "activityValue": rng.choice(["0.0", "0.5", "1.0", "n/a"]),
    }


def diplotype(rng, gene, source):
    first, second = allele(rng, gene), allele(rng, gene)
    phenotypes = [rng.choice(PHENOTYPES)] if rng.random() < 0.9 else []
    return {
        "allele1": first,
        "allele2": second,
        "gene": gene,
        "matchScore": rng.randint(0, 4),
        "phenotypes": phenotypes,
        "outsidePhenotype": False,
        "outsidePhenotypeMismatch": None,
        "activityScore": rng.choice([None, "1.0", "1.5", "2.0"]),
        "outsideActivityScore": False,
        "outsideActivityScoreMismatch": None,
        "variant": None,
        "lookupKey": phenotypes,
        "label": f"{first['name']}/{second['name']}",
        "inferred": False,
        "combination": False,
        "phenotypeDataSource": source,
        "diplotypeKey": {first["name"]: 1.0, second["name"]: 1.0},
    }


def variant(rng, gene):
    return {
        "gene": gene,
        "chromosome": f"chr{rng.randint(1, 22)}",
        "position": rng.randint(1_000_000, 200_000_000),
        "dbSnpId": f"rs{rng.randint(1000, 99_999_999)}",
        "call": rng.choice(["A/A", "A/G", "G/G", "C/T", "T/T"]),
        "alleles": [f"rs{rng.randint(1000, 9_999_999)} variant ({rng.choice('ACGT')})"],
        "phased": rng.random() < 0.5,
        "phaseSet": None,
        "referenceAllele": rng.choice("ACGT"),
        "hasUndocumentedVariations": False,
        "warnings": [],
    }


def gene_report(rng, gene, source):
    diplotypes = [diplotype(rng, gene, source)]
    return {
        "alleleDefinitionVersion": VERSION,
        "alleleDefinitionSource": "PHARMGKB",
        "phenotypeVersion": VERSION,
        "phenotypeSource": source,
        "geneSymbol": gene,
        "chr": f"chr{rng.randint(1, 22)}",
        "phased": False,
        "effectivelyPhased": True,
        "callSource": "MATCHER",
        "uncalledHaplotypes": [],
        "messages": [{"ruleName": "reference-allele", "exceptionType": "note",
                      "message": f"The {gene} call is based on the reference allele \u2013 "
                                 "see the documentation."}],
        "relatedDrugs": [{"name": f"drug{rng.randint(1, 300)}", "id": f"PA{rng.randint(1, 10**9)}"}],
        "sourceDiplotypes": diplotypes,
        "recommendationDiplotypes": diplotypes,
        "variants": [variant(rng, gene) for _ in range(rng.randint(5, 120))],
        "variantsOfInterest": [],
        "hasUndocumentedVariations": False,
        "treatUndocumentedVariationsAsReference": False,
    }


def drug(rng, name, source):
    gene = rng.choice(GENES["CPIC"])
    annotations = []
    for _ in range(rng.randint(1, 6)):
        annotations.append({
            "implications": [f"{gene}: {rng.choice(PHENOTYPES)} implies altered exposure to {name}"],
            "drugRecommendation": f"Consider an alternative to {name} or adjust the dose "
                                  f"({rng.randint(25, 75)}% of the standard starting dose).",
            "classification": rng.choice(["Strong", "Moderate", "Optional"]),
            "activityScore": {gene: rng.choice(["1.0", "2.0", "n/a"])},
            "population": "general",
            "genotypes": [{"diplotypes": [diplotype(rng, gene, source)]}
                          for _ in range(rng.randint(1, 3))],
            "messages": [],
            "highlightedVariants": [],
            "dosingInformation": rng.random() < 0.5,
            "alternateDrugAvailable": rng.random() < 0.5,
            "otherPrescribingGuidance": False,
            "phenotypes": {gene: rng.choice(PHENOTYPES)},
            "lookupKey": {gene: rng.choice(PHENOTYPES)},
        })
    return {
        "name": name,
        "id": f"PA{rng.randint(1, 10**9)}",
        "source": source,
        "version": VERSION,
        "messages": [],
        "variants": [],
        "urls": [f"https://www.pharmgkb.org/guidelineAnnotation/PA{rng.randint(1, 10**9)}"],
        "citations": [{"pmid": str(rng.randint(10**7, 10**8)),
                       "title": f"Guideline for {gene} genotype and {name} dosing: update.",
                       "journal": "Clinical pharmacology and therapeutics",
                       "year": rng.randint(2010, 2025)} for _ in range(rng.randint(1, 3))],
        "guidelines": [{"id": f"PA{rng.randint(1, 10**9)}",
                        "name": f"Annotation of {source} guideline for {name} and {gene}",
                        "source": source, "version": VERSION,
                        "url": "https://www.pharmgkb.org/guidelineAnnotation/PA166104997",
                        "annotations": annotations}],
    }


def report(megabytes, rng):
    document = {
        "title": "bench.sample",
        "timestamp": "2025-05-15T07:13:26.090Z",
        "pharmcatVersion": "v3.0.0-2-g0cb8e32a",
        "dataVersion": VERSION,
        "genes": {source: {gene: gene_report(rng, gene, source) for gene in genes}
                  for source, genes in GENES.items()},
        "drugs": {},
        "messages": [],
        "matcherMetadata": {"genomeBuild": "GRCh38.p14", "sampleId": "Sample_1"},
    }
    sources = ["CPIC Guideline Annotation", "DPWG Guideline Annotation",
               "FDA Label Annotation", "FDA PGx Association"]
    for source in sources:
        document["drugs"][source] = {}
    # Drugs hold most of the bytes, as in real reports: add them until the size is reached.
    size = len(json.dumps(document, indent=2))
    count = 0
    while size < megabytes * 1_000_000:
        source = sources[count % len(sources)]
        name = f"drug{count}"
        entry = drug(rng, name, source)
        document["drugs"][source][name] = entry
        text = json.dumps(entry, indent=2)
        size += len(text) + 6 * (text.count("\n") + 1) + len(name) + 8  # indented 3 levels
        count += 1
    return document


def expected_calls(document):
    calls = []
    for source, genes in document["genes"].items():
        for report_ in genes.values():
            first = report_["sourceDiplotypes"][0]
            calls.append(RawCall(
                gene=report_["geneSymbol"],
                diplotype=first["label"],
                haplotypes=[first["allele1"]["name"], first["allele2"]["name"]],
                phenotypes=first["phenotypes"],
                source=OrvellePgxConstants.CALLER_PHARMCAT_REPORT,
                phenotype_source=report_["phenotypeSource"] or source,
                activity_score=first["activityScore"],
            ))
    return calls


def host_load(path):
    with open(path, encoding="utf-8") as handle:
        return json.load(handle)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--megabytes", type=float, default=4.0)
    parser.add_argument("--repeat", type=int, default=15)
    args = parser.parse_args()

    document = report(args.megabytes, random.Random(20250515))
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "bench.pharmcat.report.json")
        with open(path, "w", encoding="utf-8") as handle:
            json.dump(document, handle, indent=2)
        size = os.path.getsize(path)

        reader = PharmcatReportJsonParser(path)
        calls = reader.parse()
        if calls != expected_calls(document):
            raise SystemExit("the reader's calls differ from the document's")
        if host_load(path) != document:
            raise SystemExit("json.load does not read back the written report")

        ours = best_of(args.repeat, lambda: PharmcatReportJsonParser(path).parse())
        host = best_of(args.repeat, lambda: host_load(path))

    megabytes = size / 1e6
    print(f"report: {megabytes:.2f} MB, {len(calls)} calls")
    print(f"PharmcatReportJsonParser.parse: {ours * 1e3:8.2f} ms  {megabytes / ours:7.0f} MB/s")
    print(f"json.load:                      {host * 1e3:8.2f} ms  {megabytes / host:7.0f} MB/s")
    print(f"info: json.load / parse: {host / ours:.1f}x (no target)")


if __name__ == "__main__":
    main()
