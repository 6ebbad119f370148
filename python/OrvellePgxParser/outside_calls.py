"""A run's gene results as a PharmCAT outside-call file: the headerless four-column TSV (gene,
diplotype, phenotype, activity score) that PharmCAT's -po option reads, and that its pipeline
picks up as <sample>.outside.tsv beside a sample's VCF, so that calls of other callers reach
PharmCAT's recommendations.

PharmCAT matches outside calls by their text: a line it cannot use is an error or a silent no
call there. So only what it would accept is written, in its own spelling, and every gene or term
left out is named in a warning."""

import logging

from ._text_files import write_text_atomically

log = logging.getLogger("OrvellePgxParser")

# The genes PharmCAT 3.1 takes outside calls for, each with the phenotypes it knows for it
# (PharmGKB/PharmCAT docs/phenotypes.tsv at v3.1.1, "CPIC Phenotypes"; an empty tuple: none,
# the diplotype is the whole call). PharmCAT compares a phenotype ignoring case, after taking
# the gene symbol out of it (docs/using/Outside-Call-Format.md, OutsideCall.java).
_METABOLIZER = ("Indeterminate", "Intermediate Metabolizer", "Normal Metabolizer",
                "Poor Metabolizer")
_SUSCEPTIBILITY = ("Malignant Hyperthermia Susceptibility", "Uncertain Susceptibility")
PHARMCAT_PHENOTYPES = {
    "ABCG2": ("Decreased Function", "Normal Function", "Poor Function"),
    "CACNA1S": _SUSCEPTIBILITY,
    "CFTR": ("ivacaftor non-responsive in CF patients", "ivacaftor responsive in CF patients"),
    "CYP2B6": (*_METABOLIZER, "Rapid Metabolizer", "Ultrarapid Metabolizer"),
    "CYP2C19": (*_METABOLIZER, "Likely Intermediate Metabolizer", "Likely Poor Metabolizer",
                "Rapid Metabolizer", "Ultrarapid Metabolizer"),
    "CYP2C9": _METABOLIZER,
    "CYP2D6": (*_METABOLIZER, "Ultrarapid Metabolizer"),
    "CYP3A4": ("Intermediate Metabolizer", "Normal Metabolizer", "Poor Metabolizer"),
    "CYP3A5": (*_METABOLIZER, "Possible Intermediate Metabolizer"),
    "CYP4F2": (),
    "DPYD": ("Intermediate Metabolizer", "Normal Metabolizer", "Poor Metabolizer"),
    "G6PD": ("Deficient", "Deficient with CNSHA", "Indeterminate", "Normal", "Variable"),
    "HLA-A": ("*31:01 positive", "*31:01 negative"),
    "HLA-B": ("*15:02 positive", "*15:02 negative", "*57:01 positive", "*57:01 negative",
              "*58:01 positive", "*58:01 negative"),
    "IFNL3": (),
    "MT-RNR1": ("increased risk of aminoglycoside-induced hearing loss",
                "normal risk of aminoglycoside-induced hearing loss",
                "uncertain risk of aminoglycoside-induced hearing loss"),
    "NAT2": ("Indeterminate", "Intermediate Metabolizer", "Poor Metabolizer",
             "Rapid Metabolizer"),
    "NUDT15": (*_METABOLIZER, "Possible Intermediate Metabolizer"),
    "RYR1": _SUSCEPTIBILITY,
    "SLCO1B1": ("Decreased Function", "Increased Function", "Indeterminate", "Normal Function",
                "Poor Function", "Possible Decreased Function"),
    "TPMT": (*_METABOLIZER, "Possible Intermediate Metabolizer"),
    "UGT1A1": _METABOLIZER,
    "VKORC1": ("-1639 AA", "-1639 AG", "-1639 GG"),
}
# Genes with one allele: PharmCAT refuses a diplotype with "/" for them (G6PD, on X, takes
# one allele or two).
SINGLE_ALLELE_GENES = frozenset({"MT-RNR1"})
# HLA alleles start with "*" or the gene's letter and "*" (A*02:01); anything else is an error.
HLA_PREFIXES = {"HLA-A": ("*", "A*"), "HLA-B": ("*", "B*")}
# Every PharmCAT caller's identifier starts so: PharmCAT has those genes already.
PHARMCAT_CALLER_PREFIX = "pharmcat"


def pharmcat_phenotype(gene, activity):
    """PharmCAT's spelling of ACTIVITY for GENE, or None when PharmCAT knows no such phenotype
    (the comparison PharmCAT makes: the gene symbol taken out, case and spacing ignored)."""
    wanted = " ".join(activity.replace(gene, "").split()).casefold()
    for known in PHARMCAT_PHENOTYPES[gene]:
        if known.casefold() == wanted:
            return known
    return None


def diplotype_problem(gene, diplotype):
    """Why PharmCAT would refuse DIPLOTYPE for GENE, or None when it takes it."""
    if any(c in diplotype for c in "\t\r\n") or diplotype.strip() != diplotype:
        return "it holds a tab, a line break or outer spaces"
    alleles = diplotype.split("/")
    if len(alleles) > 2:
        return "it names more than two alleles"
    if not all(a.strip() for a in alleles) or diplotype in (".", "./."):
        return "an allele is empty or a no call"
    if gene in SINGLE_ALLELE_GENES and len(alleles) > 1:
        return f"{gene} takes a single allele"
    prefixes = HLA_PREFIXES.get(gene)
    if prefixes and not all(a.strip().startswith(prefixes) for a in alleles):
        return f"{gene} alleles start with {' or '.join(prefixes)}"
    return None


def outside_call_lines(results):
    """The outside-call line of every result PharmCAT would take, as (gene, diplotype,
    phenotype, activity score), in the results' order; each gene or term left out is logged."""
    lines = []
    for result in results:
        gene, diplotype, activity = result.gene, result.star_allele, result.activity
        if gene not in PHARMCAT_PHENOTYPES:
            log.warning("Outside calls: %s left out: PharmCAT takes no outside call for it", gene)
            continue
        if (result.source or "").startswith(PHARMCAT_CALLER_PREFIX):
            log.warning("Outside calls: %s left out: it came from PharmCAT, which has it", gene)
            continue
        if not diplotype:
            log.warning("Outside calls: %s left out: it has no star allele", gene)
            continue
        problem = diplotype_problem(gene, diplotype)
        if problem:
            log.warning("Outside calls: %s left out: PharmCAT would not take the diplotype "
                        "%r: %s", gene, diplotype, problem)
            continue
        phenotype = pharmcat_phenotype(gene, activity) if activity else None
        if activity and phenotype is None:
            log.warning("Outside calls: %s without its phenotype: PharmCAT knows no %s "
                        "phenotype %r", gene, gene, activity)
        # The results hold no activity score: PharmCAT works it out from the diplotype.
        lines.append((gene, diplotype, phenotype or "", ""))
    return lines


def outside_call_text(results) -> str:
    return "".join("\t".join(line) + "\n" for line in outside_call_lines(results))


def write_outside_calls(path, results) -> None:
    """Writes the outside-call file of RESULTS (GeneOutcome records) to PATH, whole or not at
    all, in UTF-8 as PharmCAT reads it."""
    write_text_atomically(path, outside_call_text(results))
    log.info("Wrote PharmCAT outside calls to %s", path)
