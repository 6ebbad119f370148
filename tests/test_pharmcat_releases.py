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
    """The diplotypes a call is read from: the source diplotypes, unless they are single
    haplotypes (allele2 null) and the recommendation diplotypes hold the combined call."""
    source = report["sourceDiplotypes"]
    recommended = report.get("recommendationDiplotypes") or []
    single = all("allele2" in d and d["allele2"] is None and isinstance(d["allele1"], dict)
                 for d in source)
    if single and recommended and isinstance(recommended[0].get("allele2"), dict):
        return recommended
    return source


def expected_calls(document):
    """(gene, phenotype source) of each gene report that has source diplotypes, in document
    order, and the (gene, count) of those read from more than one candidate, found with the
    host's json."""
    genes = next(document[key] for key in ("geneReports", "genes")
                 if isinstance(document.get(key), dict))
    calls, several = [], []
    for key, value in genes.items():
        in_section = "geneSymbol" not in value
        for report in value.values() if in_section else [value]:
            diplotypes = report.get("sourceDiplotypes")
            if not diplotypes:
                continue
            source = report.get("phenotypeSource") or (key if in_section else None)
            calls.append((report["geneSymbol"], source))
            if len(candidates(report)) > 1:
                several.append((report["geneSymbol"], len(candidates(report)))
                               + ((key,) if in_section else ()))
    return calls, several


def supported_files(samples):
    """The reports and phenotype files: not the 1.x report, the matcher's output nor PharmCAT's
    message rules."""
    return sorted(p for p in (samples / "pharmcat").glob("*.json")
                  if not p.name.startswith("v1.") and not p.name.endswith(".match.json")
                  and not p.name.endswith(".messages.json"))


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
        ("fixture.Sample_1.phenotype.json", "DPYD", "c.1898delC (*3)/c.295_298delTCAT (*7)",
         "Poor Metabolizer", "source diplotypes hold single haplotypes ('c.1898delC (*3)', "
         "'c.295_298delTCAT (*7)'); using the recommendation diplotype"),
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
                    if any("recommendation diplotype" in w for w in call.warnings)]
        assert switched == [("fixture.Sample_1.phenotype.json", "DPYD")]
