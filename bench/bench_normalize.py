"""bench/bench_normalize.py: the cost of AlleleCallHarmonizer.normalize per raw call.

Normalises a realistic mix of raw calls (PharmCAT-like standard genes with CPIC and DPWG
phenotypes, HLA-B with three phenotypes, genotype-guided genes, passthrough PyPGx calls and
no-calls) over tables of realistic size, checks the results, then times the loop from Python.
The host's share (loop, method call, argument and result conversion) is estimated by timing a
trivial bound call over the same calls and subtracted; what remains is the core's work plus
building the result record. The figures are for information: no target is set on them.

    .venv/bin/python bench/bench_normalize.py [--rounds N]
"""

import argparse
import time

from OrvellePgxParser.Models import RawCall
from OrvellePgxParser.Parsers import AlleleCallHarmonizer

STANDARD_GENES = ["CYP2B6", "CYP2C19", "CYP2C9", "CYP2D6", "CYP3A4", "CYP3A5", "CYP4F2",
                  "DPYD", "NUDT15", "SLCO1B1", "TPMT", "UGT1A1", "VKORC1", "IFNL3", "ABCG2",
                  "CFTR", "MT-RNR1"]
PHENOTYPES = ["Poor Metabolizer", "Intermediate Metabolizer", "Normal Metabolizer",
              "Rapid Metabolizer", "Ultrarapid Metabolizer", "Likely Poor Metabolizer",
              "Likely Intermediate Metabolizer", "Decreased Function", "Normal Function",
              "Increased Function", "Poor Function", "Indeterminate"]
HLA_PHENOTYPES = ["HLA-B*57:01 positive", "HLA-B*58:01 negative", "HLA-B*15:02 negative"]
GUIDED_GENES = ["G6PD", "CACNA1S", "RYR1"]
GUIDED_ALLELES = ["B (wildtype)", "Mediterranean", "A- 202A_376G", "Reference",
                  "c.1841C>T", "c.7300G>A"]

RULES = {
    "version": "bench",
    "passthrough_sources": ["pypgx"],
    "no_call_tokens": ["", "N/A", "NA", "No Call", "Indeterminate", "Unknown/Unknown"],
    "genotype_guided_genes": GUIDED_GENES,
    "hla_genes": ["HLA-A", "HLA-B"],
    "single_allele_genes": ["MT-RNR1"],
    "strip_suballele_suffix": True,
    "hla_allele_fields": 2,
}
PHENOTYPE_TERMS = {
    "version": "bench",
    "genes": {gene: {p: p for p in PHENOTYPES[:8]} for gene in STANDARD_GENES}
    | {"HLA-B": {p: p.split()[-1].title() for p in HLA_PHENOTYPES}},
    "global": {p: p for p in PHENOTYPES if p != "Indeterminate"} | {"Indeterminate": None},
}
GENOTYPE_TERMS = {
    "version": "bench",
    "alleles": {gene: {a: a.split()[0] for a in GUIDED_ALLELES} for gene in GUIDED_GENES},
    "diplotype_activity": {
        gene: {f"{a.split()[0]}/{b.split()[0]}": "Normal" for a in GUIDED_ALLELES
               for b in GUIDED_ALLELES}
        for gene in GUIDED_GENES},
}


def sample_calls():
    """The calls of one sample: one PharmCAT report, a PyPGx run and a few no-calls."""
    calls = []
    for i, gene in enumerate(STANDARD_GENES):
        for source in ("CPIC", "DPWG"):
            calls.append(RawCall(gene=gene, diplotype=f"*1/*{i + 2}.00{i % 3 + 1}",
                                 phenotypes=[PHENOTYPES[(i + len(source)) % 9]],
                                 source="pharmcat_report", phenotype_source=source))
    calls.append(RawCall(gene="HLA-B", diplotype="*57:01:01:02/*58:01:01",
                         phenotypes=HLA_PHENOTYPES, source="pharmcat_report",
                         phenotype_source="CPIC"))
    for i, gene in enumerate(GUIDED_GENES):
        calls.append(RawCall(gene=gene, diplotype=f"{GUIDED_ALLELES[i]}/{GUIDED_ALLELES[i + 1]}",
                             source="pharmcat_report", phenotype_source="CPIC"))
    for gene in ("CYP2D6", "CYP2C19", "CYP3A5", "SLCO1B1"):
        calls.append(RawCall(gene=gene, diplotype="*1/*2", phenotypes=["Normal Metabolizer"],
                             source="pypgx"))
    calls.append(RawCall(gene="CYP2A6", diplotype=None, phenotypes=[None], source="pypgx"))
    calls.append(RawCall(gene="CYP2E1", diplotype="N/A", phenotypes=["Indeterminate"],
                         source="pharmcat_report", phenotype_source="CPIC"))
    calls.append(RawCall(gene="NAT2", diplotype=" No Call ", phenotypes=[],
                         source="pharmcat_phenotype", phenotype_source="CPIC"))
    return calls


def check(harmonizer, calls):
    """The benchmark times correct work only."""
    results = {(c.gene, c.phenotype_source): harmonizer.normalize(c) for c in calls}
    cyp2d6 = results[("CYP2D6", "CPIC")]
    assert cyp2d6.star_allele == "*1/*5" and cyp2d6.activity, cyp2d6
    hla = results[("HLA-B", "CPIC")]
    assert (hla.star_allele, hla.activity) == ("*57:01/*58:01", "Positive; Negative; Negative")
    assert results[("G6PD", "CPIC")].activity == "Normal"
    assert results[("CYP2E1", "CPIC")].warnings == ["no diplotype called", "no phenotype from CPIC"]


def best_ns_per_call(loop, calls, rounds):
    best = float("inf")
    for _ in range(5):
        start = time.perf_counter_ns()
        loop(calls, rounds)
        best = min(best, time.perf_counter_ns() - start)
    return best / (rounds * len(calls))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=20000)
    rounds = parser.parse_args().rounds

    harmonizer = AlleleCallHarmonizer._from_tables(RULES, PHENOTYPE_TERMS, GENOTYPE_TERMS)
    calls = sample_calls()
    check(harmonizer, calls)

    def normalize_loop(calls, rounds):
        normalize = harmonizer.normalize
        for _ in range(rounds):
            for call in calls:
                normalize(call)

    def trivial_loop(calls, rounds):
        is_no_call = harmonizer.is_no_call
        for _ in range(rounds):
            for _call in calls:
                is_no_call(None)

    normalize_ns = best_ns_per_call(normalize_loop, calls, rounds)
    trivial_ns = best_ns_per_call(trivial_loop, calls, rounds)
    print(f"{len(calls)} calls per sample, {rounds} rounds, best of 5")
    print(f"normalize from Python   {normalize_ns:7.1f} ns/call")
    print(f"trivial bound call      {trivial_ns:7.1f} ns/call (host loop and call overhead)")
    print(f"info: normalize less overhead {normalize_ns - trivial_ns:7.1f} ns/call "
          f"(core work, result record and its Python wrapper)")


if __name__ == "__main__":
    main()
