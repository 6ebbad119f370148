"""PharmCAT outside-call files: what is left out and why, PharmCAT's spellings, the rules of
PharmCAT's outside-call format held on every file written, and the round trip through the
product's own outside-call reader."""

import json
import shutil
import subprocess
import sys

from OrvellePgxParser.Models import GeneOutcome
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import PgxReaderFactory
from OrvellePgxParser.cohort import convert_cohort
from OrvellePgxParser.outside_calls import (PHARMCAT_PHENOTYPES, outside_call_lines,
                                            write_outside_calls)
from test_cohort_tables import example_samples

MIXED = [
    GeneOutcome("CYP2C19", "*1/*17", "Rapid Metabolizer", "pbstarphase"),
    GeneOutcome("CYP2D6", "*1/*4", "Intermediate Metabolizer", "pharmcat_report"),
    GeneOutcome("CYP2A6", "*1/*9", "Intermediate Metabolizer", "pypgx"),  # not PharmCAT's
    GeneOutcome("DPYD", None, "Normal Metabolizer", "pypgx"),
    GeneOutcome("G6PD", "B/B", "G6PD Normal", "pypgx"),
    GeneOutcome("HLA-A", "*31:01/*02:01", "HLA-A*31:01 positive", "pbstarphase"),
    GeneOutcome("HLA-B", "57:01/58:01", None, "pbstarphase"),
    GeneOutcome("MT-RNR1", "1555A>G", "Increased Risk of Aminoglycoside-Induced Hearing Loss",
                "pypgx"),
    GeneOutcome("NUDT15", "*1/*2/*3", "Intermediate Metabolizer", "diplotype_table"),
    GeneOutcome("SLCO1B1", "*1/*5", "Decreased Function; Poor Function", "diplotype_table"),
    GeneOutcome("TPMT", "*1/*3A", "Intermediate Metabolizer", "diplotype_table"),
]


def rule_violations(text):
    """What in an outside-call file breaks the rules PharmCAT documents for it: UTF-8 text, no
    header, TAB-separated fields; a known gene symbol first; up to three more fields, not all
    empty; a diplotype of at most two "/"-separated alleles and no "." no call, a single allele
    for MT-RNR1, HLA alleles starting "*" or the gene's letter; a phenotype PharmCAT knows for
    the gene."""
    problems = []
    for number, line in enumerate(text.encode("utf-8").decode("utf-8").split("\n"), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = [field.strip() for field in line.split("\t")]
        gene, rest = fields[0], fields[1:]
        if not 1 <= len(rest) <= 3 or not any(rest) or gene not in PHARMCAT_PHENOTYPES:
            problems.append(f"line {number}: fields {fields}")
            continue
        diplotype, phenotype = rest[0], rest[1] if len(rest) > 1 else ""
        alleles = diplotype.split("/") if diplotype else []
        if diplotype in (".", "./.") or len(alleles) > 2 or not all(alleles):
            problems.append(f"line {number}: diplotype {diplotype!r}")
        if gene == "MT-RNR1" and len(alleles) > 1:
            problems.append(f"line {number}: MT-RNR1 takes one allele")
        if gene in ("HLA-A", "HLA-B") and not all(a.startswith(("*", gene[-1] + "*"))
                                                   for a in alleles):
            problems.append(f"line {number}: HLA allele {diplotype!r}")
        if phenotype and phenotype not in PHARMCAT_PHENOTYPES[gene]:
            problems.append(f"line {number}: phenotype {phenotype!r}")
    return problems


class TestWriter:
    def test_what_is_left_out_and_in_which_spelling(self, warnings_log):
        lines = outside_call_lines(MIXED)
        assert lines == [
            ("CYP2C19", "*1/*17", "Rapid Metabolizer", ""),
            ("G6PD", "B/B", "Normal", ""),
            ("HLA-A", "*31:01/*02:01", "*31:01 positive", ""),
            ("MT-RNR1", "1555A>G", "increased risk of aminoglycoside-induced hearing loss", ""),
            ("SLCO1B1", "*1/*5", "", ""),  # two phenotypes are no phenotype PharmCAT knows
            ("TPMT", "*1/*3A", "Intermediate Metabolizer", ""),
        ]
        messages = [r.getMessage() for r in warnings_log()]
        for gene, reason in [("CYP2D6", "came from PharmCAT"), ("CYP2A6", "no outside call"),
                             ("DPYD", "no star allele"), ("HLA-B", "start with * or B*"),
                             ("NUDT15", "more than two alleles")]:
            assert any(m.startswith(f"Outside calls: {gene} left out") and reason in m
                       for m in messages), gene
        assert any("SLCO1B1 without its phenotype" in m for m in messages)

    def test_files_follow_pharmcats_rules(self, tmp_path, shared_samples):
        # The check itself takes PharmCAT's own example and test files.
        for real in sorted((shared_samples / "pharmcat").glob("*outside*.tsv")):
            assert rule_violations(real.read_text(encoding="utf-8")) == [], real.name
        assert rule_violations("CYP2D6\t*1/*2/*3\nHLA-B\t57:01/*58:01\nCYP2C9\t\t\t\n")
        path = tmp_path / "calls.outside.tsv"
        write_outside_calls(path, MIXED)
        text = path.read_text(encoding="utf-8")
        assert rule_violations(text) == [] and len(text.splitlines()) == 6

    def test_the_cohorts_files_beside_each_result(self, tmp_path):
        outcomes = convert_cohort(example_samples(), tmp_path, outside_calls=True)
        for outcome in outcomes:
            text = (tmp_path / f"{outcome.sample}.outside.tsv").read_text(encoding="utf-8")
            assert rule_violations(text) == []
            result = json.loads((tmp_path / f"{outcome.sample}.json").read_text())
            sidecar = json.loads((tmp_path / f"{outcome.sample}.provenance.json").read_text())
            results = [GeneOutcome(g["Id"], g["StarAllele"], g["Activity"], p["source"])
                       for g, p in zip(result, sidecar["genes"])]
            assert text.splitlines() == ["\t".join(line) for line in outside_call_lines(results)]
        # S1's other genes came from PharmCAT; CYP3A5 from PyPGx
        assert (tmp_path / "S1.outside.tsv").read_text() == (
            "CYP3A5\t*1/*3\tIntermediate Metabolizer\t\n")

    def test_the_single_command_writes_one_and_never_reads_it_back(self, tmp_path):
        sample = tmp_path / "sample"
        shutil.copytree(example_samples()[0].input_dir, sample)
        command = [sys.executable, "-m", "OrvellePgxParser", "--log-level", "ERROR",
                   "--input-dir", str(sample), "--output-dir", str(sample),
                   "--outside-calls", str(sample / "S1.outside.tsv")]
        subprocess.run(command, check=True, capture_output=True)
        first = {p.name: p.read_bytes() for p in sample.iterdir()}
        subprocess.run(command, check=True, capture_output=True)
        assert {p.name: p.read_bytes() for p in sample.iterdir()} == first
        assert first["S1.outside.tsv"] == b"CYP3A5\t*1/*3\tIntermediate Metabolizer\t\n"


def test_every_line_reads_back_to_the_same_gene_result(tmp_path):
    results = [r for r in MIXED if r.gene in ("CYP2C19", "G6PD", "MT-RNR1", "TPMT")]
    path = tmp_path / "S.outside.tsv"
    write_outside_calls(path, results)
    # The product reads an outside-call file as the four-column table pbStarPhase also writes.
    assert type(PgxReaderFactory.get_parser(str(path))).__name__ == "StarPhaseTsvReader"
    back = OrvellePgxParser({"input_files": [str(path)]}).parse_files()
    assert [(r.gene, r.star_allele, r.activity) for r in back] == [
        (r.gene, r.star_allele, r.activity) for r in results]
