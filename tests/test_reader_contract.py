"""The abstract reader base: construction checks, JSON loading and the skip warning."""

import abc
import errno
import json
import logging
import os

import pytest

from OrvellePgxParser.Parsers import IPgxReader


class ListReader(IPgxReader):
    """The smallest concrete reader: its file's JSON root, if it is a list of genes."""

    def parse(self):
        return self._load_json()


def host_error(action):
    """The exception the host's own `action()` raises."""
    with pytest.raises(Exception) as caught:
        action()
    return caught.value


def host_load(path):
    with open(path, encoding="utf-8") as stream:
        return json.load(stream)


class TestAbstractBase:
    def test_is_an_abstract_base_class(self):
        assert issubclass(IPgxReader, abc.ABC)
        assert IPgxReader.source_name == "unknown"

    def test_base_cannot_be_instantiated(self, tmp_path):
        # The message is the one the host gives for its own abstract classes.
        class Probe(abc.ABC):
            @abc.abstractmethod
            def parse(self): ...

        Probe.__name__ = "IPgxReader"
        expected = str(host_error(Probe))
        with pytest.raises(TypeError) as caught:
            IPgxReader(str(tmp_path))
        assert str(caught.value) == expected

    def test_subclass_without_parse_cannot_be_instantiated(self, tmp_path):
        class Incomplete(IPgxReader):
            pass

        with pytest.raises(TypeError, match="Incomplete"):
            Incomplete(str(tmp_path))

    def test_host_subclass_is_usable(self, tmp_path):
        path = tmp_path / "genes.json"
        path.write_text('["CYP2D6", "CYP2C19"]', encoding="utf-8")
        reader = ListReader(str(path))
        assert isinstance(reader, IPgxReader)
        assert reader.file_path == str(path)
        assert reader.source_name == "unknown"
        assert reader.parse() == ["CYP2D6", "CYP2C19"]
        assert reader._load_json() == ["CYP2D6", "CYP2C19"]  # read anew, same answer

    def test_subclass_may_name_its_source(self, tmp_path):
        class Named(ListReader):
            source_name = "mine"

        assert Named(str(tmp_path)).source_name == "mine"


class TestConstruction:
    @pytest.mark.parametrize("path", ["", None])
    def test_empty_path_is_refused_before_the_file_system_is_asked(self, path):
        with pytest.raises(ValueError) as caught:
            ListReader(path)
        assert type(caught.value) is ValueError
        assert str(caught.value) == "file_path cannot be empty"

    def test_path_by_name(self, tmp_path):
        assert ListReader(file_path=str(tmp_path)).file_path == str(tmp_path)

    def test_exactly_one_argument(self, tmp_path):
        with pytest.raises(TypeError):
            ListReader()
        with pytest.raises(TypeError):
            ListReader(str(tmp_path), str(tmp_path))

    @pytest.mark.parametrize("name", ["missing.json", "sub dir/../missing.json", "ünïcode ✓.json"])
    def test_missing_path_names_exactly_the_path(self, tmp_path, name):
        path = str(tmp_path / name)
        with pytest.raises(FileNotFoundError) as caught:
            ListReader(path)
        assert str(caught.value) == "File not found: " + path

    def test_relative_path_is_kept_as_given(self, tmp_path, monkeypatch):
        monkeypatch.chdir(tmp_path)
        (tmp_path / "a.json").write_text("[]", encoding="utf-8")
        assert ListReader("./a.json").file_path == "./a.json"
        with pytest.raises(FileNotFoundError) as caught:
            ListReader("./b.json")
        assert str(caught.value) == "File not found: ./b.json"


class TestLoadJson:
    def write(self, tmp_path, content, name="doc.json"):
        path = tmp_path / name
        if isinstance(content, str):
            content = content.encode("utf-8")
        path.write_bytes(content)
        return str(path)

    @pytest.mark.parametrize("text, value", [
        ("true", True),
        ("null", None),
        ('  {"b": 1, "a": [1.5, "x"]}\n', {"b": 1, "a": [1.5, "x"]}),
    ])
    def test_any_root_loads(self, tmp_path, text, value):
        loaded = ListReader(self.write(tmp_path, text))._load_json()
        assert loaded == value and type(loaded) is type(value)

    def test_members_keep_document_order(self, tmp_path):
        path = self.write(tmp_path, '{"z": 1, "a": 2, "m": 3}')
        assert list(ListReader(path)._load_json()) == ["z", "a", "m"]

    def test_file_is_read_anew_on_every_call(self, tmp_path):
        path = self.write(tmp_path, "[1]")
        reader = ListReader(path)
        assert reader._load_json() == [1]
        self.write(tmp_path, "[2]")
        assert reader._load_json() == [2]

    @pytest.mark.parametrize("text", [
        '{"genes": {"CPIC": ',
        '{"a": 1,}',
        "",
        "[1]\n\n  x",
        '{"a": "tab\there"}',
        '["ünïcode", nope]',
        "\ufeff{}",
        '{\r\n  "a": 1,\r\n}',
        '[1,\r2,\r\r x]',
    ], ids=["cut-off", "trailing-comma", "empty", "extra-data", "control-char", "non-ascii",
            "byte-order-mark", "crlf-lines", "cr-lines"])
    def test_invalid_json_names_the_path_and_keeps_the_hosts_fault(self, tmp_path, text):
        path = self.write(tmp_path, text)
        expected = host_error(lambda: host_load(path))
        with pytest.raises(ValueError) as caught:
            ListReader(path)._load_json()
        error = caught.value
        assert type(error) is ValueError
        assert str(error) == f"{path} is not valid JSON: {expected}"
        cause = error.__cause__
        assert type(cause) is json.JSONDecodeError
        assert (cause.msg, cause.pos, cause.lineno, cause.colno) == (
            expected.msg, expected.pos, expected.lineno, expected.colno)
        assert cause.doc == expected.doc

    def test_invalid_utf8_is_the_hosts_decoding_error(self, tmp_path):
        path = self.write(tmp_path, b'{"gene": "CYP2D6\xff"}')
        expected = host_error(lambda: host_load(path))
        with pytest.raises(UnicodeDecodeError) as caught:
            ListReader(path)._load_json()
        error = caught.value
        assert (error.encoding, error.start, error.end, error.reason) == (
            expected.encoding, expected.start, expected.end, expected.reason)
        assert str(error) == str(expected)

    def test_directory_passes_construction_then_fails_as_the_hosts_open(self, tmp_path):
        expected = host_error(lambda: open(tmp_path, encoding="utf-8"))
        reader = ListReader(str(tmp_path))
        with pytest.raises(IsADirectoryError) as caught:
            reader._load_json()
        error = caught.value
        assert (error.errno, error.strerror, error.filename) == (
            errno.EISDIR, expected.strerror, expected.filename)
        assert str(error) == str(expected)

    def test_file_removed_after_construction_fails_as_the_hosts_open(self, tmp_path):
        path = self.write(tmp_path, "[]")
        reader = ListReader(path)
        os.remove(path)
        expected = host_error(lambda: open(path, encoding="utf-8"))
        with pytest.raises(FileNotFoundError) as caught:
            reader._load_json()
        assert caught.value.errno == errno.ENOENT
        assert str(caught.value) == str(expected)

    @pytest.mark.skipif(os.name != "posix" or os.geteuid() == 0,
                        reason="needs file permissions that bind the current user")
    def test_unreadable_file_fails_as_the_hosts_open(self, tmp_path):
        path = self.write(tmp_path, "[]")
        os.chmod(path, 0)
        expected = host_error(lambda: open(path, encoding="utf-8"))
        with pytest.raises(PermissionError) as caught:
            ListReader(path)._load_json()
        assert str(caught.value) == str(expected)


class TestLogSkip:
    def test_one_warning_with_format_and_arguments_apart(self, warnings_log):
        IPgxReader._log_skip("CYP2D6", "no diplotypes called")
        (record,) = warnings_log()
        assert record.levelno == logging.WARNING
        assert record.msg == "Skipping %s: %s"
        assert record.args == ("CYP2D6", "no diplotypes called")
        assert record.getMessage() == "Skipping CYP2D6: no diplotypes called"

    def test_static_also_through_an_instance(self, tmp_path, warnings_log):
        ListReader(str(tmp_path))._log_skip(gene="TPMT", reason="x")
        assert [r.args for r in warnings_log()] == [("TPMT", "x")]

    def test_nothing_is_recorded_when_warnings_are_off(self, caplog):
        caplog.set_level(logging.ERROR, logger="OrvellePgxParser")
        IPgxReader._log_skip("CYP2D6", "no diplotypes called")
        assert [r for r in caplog.records if r.name == "OrvellePgxParser"] == []
