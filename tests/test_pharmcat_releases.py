"""The PharmCAT readers on PharmCAT's published example outputs and test fixtures, checked
against PharmCAT's own one-row-per-gene summary and against the host's reading of the JSON."""

import json

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
from OrvellePgxParser.Parsers import PharmcatPhenotypeJsonParser, PharmcatReportJsonParser

# The summary leaves the phenotype and activity-score cells blank for these terms.
UNPRINTED_TERMS = {"n/a", "No Result"}


def parser_for(path):
    return PharmcatReportJsonParser if ".report." in path.name else PharmcatPhenotypeJsonParser


def host_json(path):
    with open(path, encoding="utf-8") as stream:
        return json.load(stream)


def summary_rows(path):
    """The rows of a *.report.tsv by gene: a version line, a header, then one row per gene."""
    lines = path.read_text(encoding="utf-8").splitlines()
    assert lines[0].startswith("PharmCAT v")
    header = lines[1].split("\t")
    rows = [dict(zip(header, line.split("\t"), strict=True)) for line in lines[2:] if line]
    return {row["Gene"]: row for row in rows}


def candidates(report):
    """The source diplotypes a call is chosen among: none where PharmCAT's one recommendation
    diplotype stands in for them (another label, several sources, or marked inferred)."""
    source = report["sourceDiplotypes"]
    recommended = report.get("recommendationDiplotypes") or []
    if len(recommended) == 1 and (len(source) > 1 or recommended[0].get("inferred")
                                  or recommended[0]["label"] != source[0]["label"]):
        return recommended
    return source


def expected_calls(document):
    """(gene, phenotype source) of each gene report that has source diplotypes, in document
    order, the unannotated calls last, and the (gene, count) of those read from more than one
    candidate, found with the host's json."""
    genes = next(document[key] for key in ("geneReports", "genes")
                 if isinstance(document.get(key), dict))
    calls, several = [], []
    sections = [(key, value) for key, value in genes.items()]
    sections += [(None, report) for report in document.get("unannotatedGeneCalls") or []]
    for key, value in sections:
        in_section = "geneSymbol" not in value
        for report in value.values() if in_section else [value]:
            diplotypes = report.get("sourceDiplotypes")
            if not diplotypes:
                continue
            source = None if key is None else (
                report.get("phenotypeSource") or (key if in_section else None))
            calls.append((report["geneSymbol"], source))
            if len(candidates(report)) > 1:
                several.append((report["geneSymbol"], len(candidates(report)))
                               + ((key,) if in_section else ()))
    return calls, several


def supported_files(samples):
    """The phenotype and report files: not the 1.x schema, the matcher's output or PharmCAT's
    message rules."""
    return sorted(p for p in (samples / "pharmcat").glob("*.json")
                  if not p.name.startswith("v1.") and ".match." not in p.name
                  and "messages" not in p.name)


class TestAgainstPharmcatSummary:
    @pytest.mark.parametrize("sample", ["example", "example2"])
    @pytest.mark.parametrize("kind", ["report", "phenotype"])
    def test_gene_by_gene(self, shared_samples, sample, kind):
        folder = shared_samples / "pharmcat"
        path = folder / f"v3.1.1.pharmcat.{sample}.{kind}.json"
        rows = summary_rows(folder / f"v3.1.1.pharmcat.{sample}.report.tsv")
        calls = {call.gene: call for call in parser_for(path)(str(path)).parse()}
        assert rows and set(rows) <= set(calls)
        for gene, row in rows.items():
            call = calls[gene]
            assert call.phenotype_source is None
            haplotypes = [row["Haplotype 1"], row["Haplotype 2"]]
            assert call.haplotypes == [name for name in haplotypes if name], gene
            # The summary spells the diplotype out from the haplotype names; the JSON label
            # agrees, except that it calls CFTR's reference sequence "Reference".
            assert "/".join(call.haplotypes) == row["Source Diplotype"], gene
            if call.diplotype != row["Source Diplotype"]:
                assert (gene, call.diplotype) == ("CFTR", "Reference/Reference")
            printed = [term for term in call.phenotypes if term not in UNPRINTED_TERMS]
            assert printed == ([row["Phenotype"].strip()] if row["Phenotype"].strip() else []), gene
            score = call.activity_score if call.activity_score not in UNPRINTED_TERMS else None
            assert (score or "") == row["Activity Score"], gene


class TestEveryRelease:
    def test_calls_and_warnings_as_the_host_reads_the_file(self, shared_samples, warnings_log,
                                                           caplog):
        files = supported_files(shared_samples)
        assert files
        for path in files:
            calls, several = expected_calls(host_json(path))
            reader = parser_for(path)(str(path))
            read = reader.parse()
            assert [(c.gene, c.phenotype_source) for c in read] == calls, path.name
            assert {c.source for c in read} == {reader.source_name}
            assert [r.args for r in warnings_log()] == several, path.name
            caplog.clear()

    def test_report_versions_as_written(self, shared_samples):
        for path in supported_files(shared_samples):
            if ".report." not in path.name:
                continue
            document = host_json(path)
            versions = PharmcatReportJsonParser(str(path)).read_versions()
            assert list(versions.items()) == [
                (key, document.get(key))
                for key in ("pharmcatVersion", "dataVersion", "title", "timestamp")]

    def test_first_schema_has_no_gene_reports(self, shared_samples):
        path = shared_samples / "pharmcat" / "v1.0.0.pharmcat.example.report.json"
        keys = ", ".join(sorted(host_json(path)))
        with pytest.raises(ValueError) as caught:
            PharmcatReportJsonParser(str(path)).parse()
        assert str(caught.value) == f"{path}: no gene reports found (top-level keys: {keys})"


class TestClinicalReading:
    @pytest.mark.parametrize("name, gene, star_allele, activity, warning", [
        # unphased: the two lowest-function haplotypes PharmCAT found, as before
        ("fixture.Sample_1.phenotype.json", "DPYD", "c.1898delC (*3)/c.295_298delTCAT (*7)",
         "Poor Metabolizer", "source haplotypes 'c.1898delC (*3)', 'c.295_298delTCAT (*7)'; "
         "PharmCAT bases its guidance on 'c.1898delC (*3)/c.295_298delTCAT (*7)' (lowest "
         "function per strand: "),
        ("fixture.Sample_1.phenotype.json", "UGT1A1", "*28/*37", "Poor Metabolizer",
         "4 source diplotypes reported ('*28/*37', '*28/*80+*37', '*37/*80+*28', "
         "'*80+*28/*80+*37'); using the first"),
        # the activity scores differ (1.5, 1.0, 1.5), the phenotype does not
        ("fixture.ReporterTest-multipleActivityScores.json", "CYP2C9", "*1/*2",
         "Intermediate Metabolizer", "3 source diplotypes reported ('*1/*2', "),
        ("fixture.ReporterTest-multiplePhenotypes.json", "CYP2C9", "*1/*3", None,
         "3 source diplotypes reported ('*1/*3': ['Intermediate Metabolizer'], '*1/*18': "
         "['Indeterminate'], '*1/*68': ['Indeterminate']); using the first without an Activity"),
    ])
    def test_result_and_its_warning(self, shared_samples, name, gene, star_allele, activity,
                                    warning):
        path = shared_samples / "pharmcat" / name
        [result] = OrvellePgxParser({"input_files": [str(path)], "gene_filter": [gene]}
                                    ).parse_files()
        assert (result.star_allele, result.activity) == (star_allele, activity)
        assert result.warnings[0].startswith(warning)

    def test_only_that_report_reads_its_recommendation_diplotypes(self, shared_samples):
        # everywhere else PharmCAT's two lists agree, and the source diplotypes are read
        switched = [(path.name, call.gene) for path in supported_files(shared_samples)
                    for call in parser_for(path)(str(path)).parse()
                    if any("PharmCAT bases its guidance on" in w for w in call.warnings)]
        assert switched == [("fixture.Sample_1.phenotype.json", "DPYD")]


class TestCaveatsAndUnannotatedCalls:
    @pytest.mark.parametrize("release", ["v2.15.5", "v3.0.1", "v3.1.1"])
    def test_phase_ambiguity_travels_and_keeps_a_phenotype_it_cannot_change(
            self, shared_samples, release):
        # *4/*9, which PharmCAT cannot rule out, is an Intermediate Metabolizer as well
        path = shared_samples / "pharmcat" / f"{release}.pharmcat.example2.report.json"
        [result] = OrvellePgxParser({"input_files": [str(path)], "gene_filter": ["CYP2B6"]}
                                    ).parse_files()
        assert (result.star_allele, result.activity) == ("*1/*6", "Intermediate Metabolizer")
        assert result.warnings == [
            "PharmCAT (CYP2B6 *1/*6 warning): The assigned genotype is *1/*6; however, *4/*9 "
            "cannot be ruled out without phased data."]

    def test_missing_positions_and_uncalled_haplotypes_travel(self, shared_samples):
        path = shared_samples / "pharmcat" / "fixture.Sample_1.phenotype.json"
        [result] = OrvellePgxParser({"input_files": [str(path)], "gene_filter": ["UGT1A1"]}
                                    ).parse_files()
        assert result.warnings[1:] == [
            "PharmCAT: missing positions: 3 of 4 positions of UGT1A1 have no genotype in the "
            "sample (rs887829, rs4148323, rs35350960)",
            "PharmCAT: uncalled haplotypes (defining positions missing): *6, *27, *80"]

    @pytest.mark.parametrize("sample", ["example", "example2"])
    @pytest.mark.parametrize("kind", ["report", "phenotype"])
    def test_unannotated_nat2_reaches_the_result(self, shared_samples, sample, kind):
        path = shared_samples / "pharmcat" / f"v3.0.1.pharmcat.{sample}.{kind}.json"
        [result] = OrvellePgxParser({"input_files": [str(path)], "gene_filter": ["NAT2"]}
                                    ).parse_files()
        # as in PharmCAT's own summary of the run: *1/*1, no phenotype
        row = summary_rows(shared_samples / "pharmcat" / "v3.0.1.pharmcat.example.report.tsv")
        assert (row["NAT2"]["Source Diplotype"], row["NAT2"]["Phenotype"]) == ("*1/*1", "")
        assert (result.star_allele, result.activity, result.phenotype_source) == (
            "*1/*1", None, None)
        assert result.warnings[0] == "PharmCAT has no phenotype data for NAT2 (unannotatedGeneCalls)"
