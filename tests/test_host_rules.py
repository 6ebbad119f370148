"""What the core asks of the running interpreter: its csv.Sniffer for a table's dialect and its
json.loads for the description of a refused text, looked up at each use; and the refusal to
run on an interpreter whose string rules the build did not read; and nothing of the package
left at the interpreter's exit for nanobind to report."""

import csv
import json
import subprocess
import sys

import pytest

from OrvellePgxParser import _hostcompat
from OrvellePgxParser.Parsers import DiplotypeSheetReader
from conftest import FIXTURES


class TestSniffing:
    @pytest.fixture
    def asked(self, monkeypatch):
        """The host's own sniff, recording what it is asked."""
        asked, real = [], csv.Sniffer.sniff

        def sniff(self, sample, delimiters=None):
            asked.append((sample, delimiters))
            return real(self, sample, delimiters)

        monkeypatch.setattr(csv.Sniffer, "sniff", sniff)
        return asked

    def test_a_sheet_is_sniffed_once_by_the_host_on_its_first_characters(self, tmp_path, asked):
        path = tmp_path / "table.csv"
        rows = "".join(f"CYP2D6;*1/*{i}\n" for i in range(1000))
        path.write_text("Gene;Diplotype\n" + rows)
        calls = DiplotypeSheetReader(str(path)).parse()
        assert len(calls) == 1000 and calls[0].diplotype == "*1/*0"
        assert asked == [(("Gene;Diplotype\n" + rows)[:4096], ",;\t")]

    def test_what_the_host_cannot_tell_is_read_in_the_default_dialect(self, tmp_path,
                                                                      monkeypatch):
        def undecided(self, sample, delimiters=None):
            raise csv.Error("Could not determine delimiter")

        monkeypatch.setattr(csv.Sniffer, "sniff", undecided)
        path = tmp_path / "table.csv"
        path.write_text("Gene,Diplotype\nCYP2D6,*1/*4\n")
        assert [c.diplotype for c in DiplotypeSheetReader(str(path)).parse()] == ["*1/*4"]
        assert _hostcompat.csv_sniff("a;b\n", ";") is None

    def test_other_failures_of_the_host_are_not_taken_for_a_guess(self, monkeypatch):
        def broken(self, sample, delimiters=None):
            raise RuntimeError("broken sniffer")

        monkeypatch.setattr(csv.Sniffer, "sniff", broken)
        with pytest.raises(RuntimeError, match="broken sniffer"):
            _hostcompat.csv_sniff("a;b\n", ";")

    def test_lone_surrogates_reach_the_host_intact(self, asked):
        _hostcompat.csv_sniff("a;\udc80\n", ";")
        assert asked == [("a;\udc80\n", ";")]


class TestJsonFaults:
    TEXT = '[1,\n "\udc80", x]'

    def patch_loads(self, monkeypatch, loads):
        asked = []

        def patched(text, *args, **kwargs):
            asked.append(text)
            return loads(text)

        monkeypatch.setattr(json, "loads", patched)
        return asked

    def test_the_hosts_description_at_its_character_position(self, monkeypatch):
        def refuse(text):
            raise json.JSONDecodeError("The host's words", text, 9)

        asked = self.patch_loads(monkeypatch, refuse)
        with pytest.raises(json.JSONDecodeError) as caught:
            _hostcompat.json_loads(self.TEXT)
        error = caught.value
        assert (error.msg, error.pos, error.lineno, error.colno) == ("The host's words", 9, 2, 6)
        assert asked == [self.TEXT]

    @staticmethod
    def accept(text):
        return [1]

    @staticmethod
    def recurse(text):
        raise RecursionError("maximum recursion depth exceeded")

    @pytest.mark.parametrize("loads", [accept, recurse])
    def test_the_cores_description_where_the_host_gives_none(self, monkeypatch, loads):
        self.patch_loads(monkeypatch, loads)
        with pytest.raises(json.JSONDecodeError) as caught:
            _hostcompat.json_loads(self.TEXT)
        assert (caught.value.msg, caught.value.pos) == ("Expecting value", 10)

    def test_an_interruption_goes_on(self, monkeypatch):
        def interrupted(text):
            raise KeyboardInterrupt

        self.patch_loads(monkeypatch, interrupted)
        with pytest.raises(KeyboardInterrupt):
            _hostcompat.json_loads(self.TEXT)

    def test_valid_documents_never_ask_the_host(self, monkeypatch):
        asked = self.patch_loads(monkeypatch, lambda text: None)
        assert _hostcompat.json_loads('[1, NaN, "\\ud800"]')[0] == 1
        assert asked == []


def test_an_interpreter_of_other_string_rules_is_refused():
    # As if another release (with another character database) loaded the package.
    script = ("import unicodedata; unicodedata.unidata_version = '1.0.0'\n"
              "import OrvellePgxParser._runtime")
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True)
    assert run.returncode == 1
    last = run.stderr.strip().splitlines()[-1]
    assert last.startswith("ImportError: OrvellePgxParser was built for Python "
                           f"{sys.version_info[0]}.{sys.version_info[1]} (Unicode ")
    assert last.endswith("(Unicode 1.0.0), whose string rules may differ: install it for "
                         "this interpreter")


def test_a_host_with_its_own_handler_holding_a_driver_at_exit_hears_nothing_of_leaks():
    # The package's logger reaches the host's handler, whose class reaches the script's globals
    # and the driver in them: the package must let go of its logger before the interpreter's
    # end, or nanobind finds the driver alive and reports it on standard error.
    script = (
        "import logging\n"
        "from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser\n"
        "class Keep(logging.Handler):\n"
        "    def emit(self, record):\n"
        "        records.append(record)\n"
        "records = []\n"
        "logging.getLogger().addHandler(Keep())\n"
        "logging.getLogger().setLevel(logging.INFO)\n"
        f"driver = OrvellePgxParser({{'input_files': [{str(FIXTURES / 'CYP2D6.tsv')!r}]}})\n"
        "results = driver.parse_files()\n"
        "assert records and results\n")
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True)
    assert (run.returncode, run.stderr) == (0, "")
