"""Every real file is read soundly or refused with one clear line: no header word or sample
name ever becomes a gene, and PharmCAT's matcher output is never read as a report."""

import json
import logging
import shutil

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

# The table readers' real outputs, and what becomes of them.
REFUSED = {
    "pharmcat/v3.1.1.pharmcat.example2.match.json": "give one of those instead",
    "pharmcat/fixture.Sample_1.match.json": "Named Allele Matcher output",
    "pharmcat/fixture.Cyp2C19s2s2.match.json": "Named Allele Matcher output",
    "pharmcat/v3.1.1.reporter.messages.json": "not a recognised caller output",
    "pypgx/refuse.GRCh37-CYP2D6-cnv-calls-test.zip": r"SampleTable\[CNVCalls\]",
}


def run(tmp_path, **request):
    out = tmp_path / "out"
    OrvellePgxParser({"output_dir": str(out), **request}).run()
    return (json.loads((out / "orvelle_pgx.json").read_text()),
            json.loads((out / "orvelle_pgx.provenance.json").read_text()))


class TestRealFiles:
    @pytest.mark.parametrize("name", sorted(REFUSED))
    def test_refused_with_one_line_and_nothing_written(self, shared_samples, tmp_path, name):
        path = shared_samples / name
        with pytest.raises(ValueError, match=REFUSED[name]) as caught:
            run(tmp_path, input_files=[str(path)])
        assert "\n" not in str(caught.value) and str(path) in str(caught.value)
        assert not (tmp_path / "out").exists()

    def test_every_gene_read_is_a_known_symbol(self, shared_samples, tmp_path):
        known = set(json.loads((shared_samples.parent / "vocabulary" / "pbstarphase_genes.json"
                                ).read_text())["genes"])
        known |= set(json.loads((shared_samples.parent / "vocabulary" / "pypgx_phenotypes.json"
                                 ).read_text())["genes"])
        known |= set(json.loads((shared_samples.parent / "vocabulary" /
                                 "pharmcat_phenotypes.json").read_text())["genes"])
        tables = [p for p in shared_samples.rglob("*") if p.suffix in (".tsv", ".csv", ".zip")
                  and str(p.relative_to(shared_samples)) not in REFUSED]
        assert len(tables) >= 25
        for path in tables:
            results, _ = run(tmp_path / path.name, input_files=[str(path)])
            assert results and {r["Id"] for r in results} <= known, path.name

    def test_a_pypgx_table_takes_its_gene_from_the_one_symbol_of_its_name(self, shared_samples,
                                                                          tmp_path):
        for name in ("HG00276.CYP2D6.tsv", "CYP2D6_results.tsv"):
            path = tmp_path / name
            shutil.copy(shared_samples / "pypgx" / "CYP2D6.2021.tsv", path)
            results, _ = run(tmp_path / "runs" / name, input_files=[str(path)],
                             sample="HG00276")
            assert [(r["Id"], r["StarAllele"]) for r in results] == [("CYP2D6", "*4/*5")]


class TestPharmcatFolder:
    def test_the_matcher_output_is_left_out_of_a_folder_scan(self, shared_samples, tmp_path,
                                                            caplog):
        folder = tmp_path / "pharmcat"
        folder.mkdir()
        for name in ("v3.1.1.pharmcat.example2.match.json", "v3.1.1.pharmcat.example2.report.json"):
            shutil.copy(shared_samples / "pharmcat" / name, folder / name)
        (folder / "renamed.json").write_bytes(
            (shared_samples / "pharmcat" / "fixture.Sample_1.match.json").read_bytes())
        caplog.set_level(logging.INFO, logger="OrvellePgxParser")
        results, _ = run(tmp_path, input_dir=str(folder))
        assert len(results) == 23
        left_out = [r.getMessage() for r in caplog.records if r.getMessage().startswith("Leaving")]
        assert [m.split(":")[0] for m in left_out] == [
            f"Leaving out {folder}/renamed.json",
            f"Leaving out {folder}/v3.1.1.pharmcat.example2.match.json"]


class TestSidecar:
    def test_rows_of_unknown_genes_are_listed(self, tmp_path):
        path = tmp_path / "calls.tsv"
        path.write_text("Gene\tDiplotype\nCYP2C19\t*1/*17\nSample_1\t*1/*2\n")
        results, sidecar = run(tmp_path, input_files=[str(path)])
        assert [r["Id"] for r in results] == ["CYP2C19"]
        assert sidecar["unknownGenes"] == ["calls.tsv: Gene", "calls.tsv: Sample_1"]
        path.write_text("CYP2C19\t*1/*17\n")
        _, sidecar = run(tmp_path, input_files=[str(path)])
        assert "unknownGenes" not in sidecar
