"""A whole run through the Python API: input resolution, output forms, provenance."""

import gzip
import json
import os
import tempfile

import pytest

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser, __version__

from driver_support import diplotype_csv, pharmcat_report

FIXTURES = os.path.join(os.path.dirname(__file__), "fixtures")

NO_INPUT = ("No input files found. Provide input_files or an input_dir containing "
            ".json/.csv PGx output.")


@pytest.fixture
def sample(tmp_path):
    inputs = tmp_path / "in"
    inputs.mkdir()
    pharmcat_report(inputs / "s.pharmcat.report.json",
                    {"CYP2C19": ("*1/*17", ["Rapid Metabolizer"]), "DPYD": ("Reference/Reference", [])})
    diplotype_csv(inputs / "s.csv", [("NUDT15", "*1/*1", "Normal Metabolizer")])
    return inputs


class TestRequest:
    def test_defaults(self):
        parser = OrvellePgxParser()
        assert (parser.input_files, parser.input_dir, parser.output_dir, parser.output_json) == (
            [], ".", ".", "orvelle_pgx.json")
        assert (parser.gzip_output, parser.write_provenance, parser.recover_dropped_genes) == (
            False, True, True)
        assert parser.gene_filter == set() and parser.phenotype_source is None
        assert parser.provenance == {}

    def test_host_truthiness_iterables_and_path_objects(self, tmp_path):
        parser = OrvellePgxParser({"input_files": (p for p in [tmp_path / "a.json", "b.csv"]),
                                   "output_dir": tmp_path, "gzip_output": "yes",
                                   "write_provenance": 0, "gene_filter": ("CYP2D6",)})
        assert parser.input_files == [str(tmp_path / "a.json"), "b.csv"]
        assert parser.output_dir == str(tmp_path)
        assert parser.gzip_output and not parser.write_provenance
        assert parser.gene_filter == {"CYP2D6"}

    @pytest.mark.parametrize("key,value", [("input_files", 5), ("input_files", "a.json"),
                                           ("input_dir", None), ("output_json", 3),
                                           ("gene_filter", [1])])
    def test_values_of_the_wrong_kind_name_their_key(self, key, value):
        with pytest.raises(TypeError, match=f"request key '{key}'"):
            OrvellePgxParser({key: value})


class TestInputResolution:
    def test_named_files_as_given_or_under_input_dir(self, sample, monkeypatch, warnings_log):
        monkeypatch.chdir(sample.parent)
        parser = OrvellePgxParser({"input_files": ["in/s.csv", "s.csv", "missing.json"],
                                   "input_dir": "in"})
        assert parser._resolve_input_files() == ["in/s.csv", "in/s.csv"]
        assert warnings_log()[-1].getMessage() == "Input file not found, skipping: missing.json"

    def test_folder_scan_when_nothing_is_named(self, tmp_path):
        for name in ["B.json", "a.JSON", "notes.txt", "c.tsv"]:
            (tmp_path / name).write_text("{}")
        (tmp_path / "sub.json").mkdir()
        parser = OrvellePgxParser({"input_dir": str(tmp_path)})
        assert parser._resolve_input_files() == [
            str(tmp_path / n) for n in ["B.json", "a.JSON", "c.tsv"]]
        # A name that is not there never turns into a folder scan.
        parser = OrvellePgxParser({"input_files": ["gone.json"], "input_dir": str(tmp_path)})
        assert parser._resolve_input_files() == []
        with pytest.raises(FileNotFoundError, match="None of the input files was found: gone.json"):
            parser.parse_files()

    def test_folder_scan_leaves_out_what_the_run_writes(self, tmp_path, monkeypatch):
        for name in ["r.json", "r.json.gz", "r.provenance.json", "other.json", "r.csv"]:
            (tmp_path / name).write_text("")  # only the names count here
        monkeypatch.chdir(tmp_path)
        # The output folder spelled otherwise than the input folder: still the same files.
        parser = OrvellePgxParser({"input_dir": ".", "output_dir": str(tmp_path) + "/",
                                   "output_json": "r.json"})
        assert parser._resolve_input_files() == ["./other.json", "./r.csv"]
        assert OrvellePgxParser({"input_files": ["r.json"]})._resolve_input_files() == ["r.json"]

    def test_running_twice_in_one_folder_gives_the_same_files(self, sample, monkeypatch):
        monkeypatch.chdir(sample)
        OrvellePgxParser().run()
        first = {p.name: p.read_bytes() for p in sample.iterdir()}
        assert {"orvelle_pgx.json", "orvelle_pgx.provenance.json"} <= set(first)
        OrvellePgxParser().run()
        assert {p.name: p.read_bytes() for p in sample.iterdir()} == first
        OrvellePgxParser({"gzip_output": True}).run()  # the plain result is not read back either
        assert json.loads(gzip.decompress((sample / "orvelle_pgx.json.gz").read_bytes())) == (
            json.loads(first["orvelle_pgx.json"]))

    def test_no_input_at_all(self, tmp_path):
        with pytest.raises(ValueError) as error:
            OrvellePgxParser({"input_dir": str(tmp_path / "none")}).parse_files()
        assert str(error.value) == NO_INPUT


class TestOutput:
    def test_indented_result_and_sidecar(self, sample, tmp_path):
        out = tmp_path / "out" / "deep"
        OrvellePgxParser({"input_dir": str(sample), "output_dir": str(out)}).run()
        text = (out / "orvelle_pgx.json").read_text()
        payload = json.loads(text)
        assert text == json.dumps(payload, indent=4)
        assert [entry["Id"] for entry in payload] == ["CYP2C19", "DPYD", "NUDT15"]
        assert all(list(entry) == ["Id", "Name", "StarAllele", "Activity"] for entry in payload)
        sidecar = json.loads((out / "orvelle_pgx.provenance.json").read_text())
        assert list(sidecar) == ["parserVersion", "phenotypeSourcePreference", "mappingVersions",
                                 "passthroughSources", "callers", "unmappedTerms", "genes"]
        assert sidecar["parserVersion"] == __version__
        assert sidecar["callers"]["pharmcatVersion"] == "3.1"
        assert [g["Id"] for g in sidecar["genes"]] == ["CYP2C19", "DPYD", "NUDT15"]

    def test_gzip_is_compact_deterministic_and_named_once(self, sample, tmp_path):
        request = {"input_dir": str(sample), "output_dir": str(tmp_path), "gzip_output": True,
                   "output_json": "r.json.gz"}
        OrvellePgxParser(request).run()
        first = (tmp_path / "r.json.gz").read_bytes()
        text = gzip.decompress(first).decode("ascii")
        assert text == json.dumps(json.loads(text))
        OrvellePgxParser(request).run()
        assert (tmp_path / "r.json.gz").read_bytes() == first
        assert json.loads((tmp_path / "r.provenance.json").read_text())["genes"]
        OrvellePgxParser({**request, "output_json": "r.JSON.GZ"}).run()
        assert (tmp_path / "r.JSON.GZ.gz").exists()

    def test_plain_output_keeps_a_gz_name(self, sample, tmp_path):
        OrvellePgxParser({"input_dir": str(sample), "output_dir": str(tmp_path),
                          "output_json": "r.json.gz", "write_provenance": False}).run()
        assert json.loads((tmp_path / "r.json.gz").read_text())
        assert not (tmp_path / "r.provenance.json").exists()

    def test_return_list_writes_nothing(self, sample, tmp_path):
        out = tmp_path / "never"
        payload = OrvellePgxParser({"input_dir": str(sample), "output_dir": str(out)}).run(True)
        assert [entry["Id"] for entry in payload] == ["CYP2C19", "DPYD", "NUDT15"]
        assert not out.exists()

    def test_every_gene_filtered_out(self, sample, tmp_path):
        OrvellePgxParser({"input_dir": str(sample), "output_dir": str(tmp_path),
                          "gene_filter": ["NONE"]}).run()
        assert (tmp_path / "orvelle_pgx.json").read_text() == "[]"

    def test_empty_output_dir_means_the_current_directory(self, sample, tmp_path, monkeypatch):
        monkeypatch.chdir(tmp_path)
        OrvellePgxParser({"input_dir": str(sample), "output_dir": ""}).run()
        assert (tmp_path / "orvelle_pgx.json").exists()

    def test_a_rejected_file_writes_nothing(self, sample, tmp_path):
        (sample / "zz.json").write_text("not json")
        with pytest.raises(ValueError):
            OrvellePgxParser({"input_files": [str(sample / "s.csv"), str(sample / "zz.json"),
                                              str(sample / "s.csv")],
                              "output_dir": str(tmp_path / "o")}).run()
        assert not (tmp_path / "o").exists()

    def test_unwritable_output_leaves_no_partial_files(self, sample, tmp_path):
        blocker = tmp_path / "file"
        blocker.write_text("")
        with pytest.raises(FileExistsError):
            OrvellePgxParser({"input_dir": str(sample), "output_dir": str(blocker)}).run()
        full = OrvellePgxParser({"input_dir": str(sample), "output_dir": "/dev",
                                 "output_json": "full"})
        with pytest.raises(OSError) as error:
            full.run()
        assert error.value.errno == 28
        assert os.path.exists("/dev/full") and not os.path.isfile("/dev/full")
        assert not list(tmp_path.glob("**/*.tmp-*"))


class TestProvenance:
    def test_sidecar_path(self):
        for result, sidecar in [("x.json.gz", "x.provenance.json"), ("x.json", "x.provenance.json"),
                                ("x.gz.json", "x.gz.provenance.json"), ("x.txt", "x.txt.provenance.json")]:
            assert _sidecar_for(result) == sidecar

    def test_genes_dropped_beside_pharmcat_are_listed_only_then(self, sample, tmp_path):
        starphase = os.path.join(FIXTURES, "sample.pbstarphase.json")
        request = {"input_files": [str(sample / "s.pharmcat.report.json"), starphase],
                   "output_dir": str(tmp_path)}
        OrvellePgxParser(request).run()
        sidecar = json.loads((tmp_path / "orvelle_pgx.provenance.json").read_text())
        assert list(sidecar)[-2:] == ["genes", "droppedGenes"]
        assert sidecar["droppedGenes"] == ["CYP2C9", "CYP2D6", "HLA-A"]
        # pbStarPhase alone: every gene it called is kept, and the sidecar has nothing to list.
        OrvellePgxParser({**request, "input_files": [starphase]}).run()
        sidecar = json.loads((tmp_path / "orvelle_pgx.provenance.json").read_text())
        assert "droppedGenes" not in sidecar
        assert [g["Id"] for g in sidecar["genes"]] == [
            "CYP2C19", "CYP2C9", "CYP2D6", "DPYD", "HLA-A"]

    def test_callers_empty_without_versioned_inputs(self, sample, tmp_path):
        OrvellePgxParser({"input_files": [str(sample / "s.csv")], "output_dir": str(tmp_path)}).run()
        text = (tmp_path / "orvelle_pgx.provenance.json").read_text()
        assert '"callers": {}' in text and '"unmappedTerms": []' in text


def _sidecar_for(result_name):
    """The file name the sidecar of a result called `result_name` gets."""
    with tempfile.TemporaryDirectory() as folder:
        parser = OrvellePgxParser()
        parser._write_provenance([], os.path.join(folder, result_name))
        return os.listdir(folder)[0]


class TestPublicSeams:
    def test_the_input_a_conversion_failed_on_is_kept(self, tmp_path):
        good = diplotype_csv(tmp_path / "a.csv", [("CYP2D6", "*1/*4", "Normal Metabolizer")])
        bad = tmp_path / "b.pharmcat.report.json"
        bad.write_bytes(b"\xff\xfe not text")
        parser = OrvellePgxParser({"input_files": [str(good), str(bad)]})
        with pytest.raises(ValueError):
            parser.parse_files()
        assert parser.failed_input == str(bad)
        parser.input_files = [str(good)]
        parser.parse_files()
        assert parser.failed_input is None

    def test_results_computed_apart_are_written_as_run_writes_them(self, tmp_path):
        csv = diplotype_csv(tmp_path / "a.csv", [("CYP2D6", "*1/*4", "Normal Metabolizer")])
        ran = OrvellePgxParser({"input_files": [str(csv)], "output_dir": str(tmp_path / "run")})
        ran.run()
        parser = OrvellePgxParser({"input_files": [str(csv)], "output_dir": str(tmp_path / "own")})
        parser.write_results(parser.parse_files())
        for name in ("orvelle_pgx.json", "orvelle_pgx.provenance.json"):
            assert (tmp_path / "own" / name).read_bytes() == (tmp_path / "run" / name).read_bytes()

    def test_collect_versions_takes_a_readers_versions_into_the_sidecar(self, tmp_path):
        from OrvellePgxParser.Parsers import PgxReaderFactory

        report = pharmcat_report(tmp_path / "s.pharmcat.report.json", {}, dataVersion="2025-01")
        parser = OrvellePgxParser()
        parser._collect_versions(PgxReaderFactory.get_parser(str(report)))
        assert parser.provenance["pharmcatVersion"] == "3.1"
        assert parser.provenance["dataVersion"] == "2025-01"
