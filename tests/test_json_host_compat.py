"""tests/test_json_host_compat.py: the core's JSON reading and writing against the host's json."""

import json
import math

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

from OrvellePgxParser import _hostcompat as core
from OrvellePgxParser.Parsers import IPgxReader

# --- generated documents -----------------------------------------------------------------------

lone_surrogates = st.integers(0xD800, 0xDFFF).map(chr)
awkward_characters = st.sampled_from('"\\/\b\f\n\r\t\x00\x1f\x7f\u2028\ufeff\U0001f600')
texts = st.text(st.one_of(st.characters(), lone_surrogates, awkward_characters), max_size=12)
reals = st.floats(allow_nan=True, allow_infinity=True)
integers = st.integers() | st.sampled_from([-(2**63), 2**63 - 1, 2**63, 2**64 - 1, 2**64, -(2**63) - 1])


def json_values(scalars):
    return st.recursive(
        scalars,
        lambda inner: st.lists(inner, max_size=5) | st.dictionaries(texts, inner, max_size=5),
        max_leaves=25,
    )


values = json_values(st.none() | st.booleans() | integers | reals | texts)
values_without_finite_reals = json_values(
    st.none() | st.booleans() | integers | texts | st.sampled_from([math.inf, -math.inf, math.nan])
)

layouts = st.sampled_from(
    [
        {},
        {"indent": 2},
        {"indent": "\t", "ensure_ascii": False},
        {"separators": (",", ":")},
        {"ensure_ascii": False},
    ]
)


@st.composite
def documents(draw):
    """Valid JSON texts in the shapes writers produce, CR/LF line ends included."""
    text = json.dumps(draw(values), **draw(layouts))
    return text.replace("\n", draw(st.sampled_from(["\n", "\r\n", "\r", " \n  "])))


# Pieces that steer a text towards each of the host's faults.
fragments = st.sampled_from(
    list(',:[]{}"\\ntfeE.-+0123456789 \t\n\r\x00\x1f/Iaxé😀\ud800\ufeff')
    + ["NaN", "Infinity", "-Infinity", "true", "null", "\\u", "\\ud800", "\\udc00", "\\u12",
       "1e", "0.", "--", "01", '"a', ", ]", ", }"]
)


@st.composite
def damaged_documents(draw):
    """Valid texts with a few insertions, deletions or a cut, so mostly invalid ones."""
    text = draw(documents())
    for _ in range(draw(st.integers(1, 3))):
        at = draw(st.integers(0, len(text)))
        edit = draw(st.sampled_from(["insert", "delete", "replace", "cut"]))
        if edit == "cut":
            text = text[:at]
        elif edit == "delete":
            text = text[:at] + text[at + 1:]
        else:
            piece = draw(fragments)
            text = text[:at] + piece + text[at + (edit == "replace"):]
    return text


# --- comparison helpers ------------------------------------------------------------------------


def same(a, b):
    """Equal and of exactly the same types, NaN equal to NaN, -0.0 apart from 0.0, same order."""
    if type(a) is not type(b):
        return False
    if isinstance(a, float):
        if math.isnan(a) or math.isnan(b):
            return math.isnan(a) and math.isnan(b)
        return a == b and math.copysign(1, a) == math.copysign(1, b)
    if isinstance(a, list):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    if isinstance(a, dict):
        return list(a) == list(b) and all(same(a[k], b[k]) for k in a)
    return a == b


def outcome(loads, text):
    try:
        return ("value", loads(text))
    except json.JSONDecodeError as error:
        return ("error", error.msg, error.pos, error.lineno, error.colno)


def assert_loads_like_host(text):
    host, ours = outcome(json.loads, text), outcome(core.json_loads, text)
    if host[0] == "value" and ours[0] == "value":
        assert same(ours[1], host[1]), (text, ours[1], host[1])
    else:
        assert ours == host, text


# --- json.loads --------------------------------------------------------------------------------

AWKWARD_VALID = [
    "-0", "-0.0", "0e5", "-0e-5", "1E5", "1e400", "-1e400", "1e-400", "-1e-400",
    "1e99999999999999999999", "1.7976931348623157e308", "1.7976931348623159e308",
    "4.9406564584124654e-324", "2.4703282292062327e-324", "2.4703282292062328e-324",
    "9223372036854775807", "9223372036854775808", "-9223372036854775808",
    "-9223372036854775809", "18446744073709551615", "18446744073709551616",
    "123456789012345678901234567890", "0.1000000000000000055511151231257827021181583404541015625",
    "NaN", "Infinity", "-Infinity", "[NaN, -Infinity]", "true", "null", ' "x" ',
    '"\\ud800"', '"\\udc00"', '"\\ud83d\\ude00"', '"\\ud83d\\u0041"', '"\\ud83d\\ud83d\\ude00"',
    '"\\ud83d"', '"\ud83d\ude00"', '"\\ud83d\ude00"', '"\\u0000"', '"\x7f"', '"\\/"',
    '{"a": 1, "b": 2, "a": 3}', '{"a": {"x": 1}, "a": [2]}',
    "{" + ", ".join(f'"k{i % 20}": {i}' for i in range(40)) + "}",
    "\t\r\n [ ] \n", "[[[[]]]]", '{"": {"": ""}}',
]

AWKWARD_INVALID = [
    "", " ", "\ufeff{}", "\ufeff", "[1,]", '{"a": 1,}', "[1 , ]", '{"a":1 , }', "[,]", "{,}",
    "[1 2]", '{"a" 1}', '{"a": 1 "b": 2}', "{1: 2}", "{'a': 1}", "[", "{", '{"a"', '{"a":',
    "-", "--1", "+1", ".5", "01", "1.", "1.e5", "1e", "1e+", "-Infinityx", "-NaN", "nan",
    "inf", "Infinit", "nul", "tru", "True", '"abc', '"a\\', '"\\x"', '"\\u12"', '"\\u12"]',
    '"\\u12', '"\\ug000"', '"\\ud800\\u12"', '"\\ud800\\uzzzz"', '"\\ud800\\', '"\\ud800\\u',
    '"\\ud800\\udc0', '"\\ud800\\udc00', '"a\tb"', '"a\nb"', '"\x1f"', "1 2", "[] []",
    "é[1 2]", "😀 x", "[\n1,\n\n  2 3]", "[\r\n1,\r\n x]", '["é😀\ud800", x]', "[1]\x00",
    "\x0b1", "\x0c1", "\xa01", "\u20281", "[\u3000]",
]


class TestLoads:
    @pytest.mark.parametrize("text", AWKWARD_VALID + AWKWARD_INVALID)
    def test_awkward_texts_like_host(self, text):
        assert_loads_like_host(text)

    @settings(max_examples=400, suppress_health_check=[HealthCheck.too_slow])
    @given(documents())
    def test_generated_documents_like_host(self, text):
        assert_loads_like_host(text)

    @settings(max_examples=200, suppress_health_check=[HealthCheck.too_slow])
    @given(documents())
    def test_generated_documents_through_the_exact_parser(self, text):
        # A NaN is beyond simdjson, so the whole text takes the host-exact path.
        assert_loads_like_host(f"[{text}, NaN]")

    @settings(max_examples=800, suppress_health_check=[HealthCheck.too_slow])
    @given(damaged_documents())
    def test_damaged_documents_fail_like_host(self, text):
        assert_loads_like_host(text)

    @settings(max_examples=400)
    @given(st.from_regex(r"-?(0|[1-9][0-9]{0,30})(\.[0-9]{1,30})?([eE][-+]?[0-9]{1,3})?",
                         fullmatch=True))
    def test_numbers_like_host(self, token):
        assert_loads_like_host(token)
        assert_loads_like_host(f"[{token}, NaN]")

    @pytest.mark.parametrize("fast", [True, False])
    def test_nesting_limit(self, fast):
        def nested(depth):
            inner = "1" if fast else "NaN"
            return "[" * depth + inner + "]" * depth

        assert core.json_loads(nested(1000)) is not None
        with pytest.raises(json.JSONDecodeError) as info:
            core.json_loads(nested(1001))
        assert (info.value.msg, info.value.pos) == ("Nesting deeper than 1000 levels", 1000)

    def test_errors_are_json_decode_errors_with_the_hosts_text(self):
        with pytest.raises(json.JSONDecodeError) as ours:
            core.json_loads('{"a": [1, 2,\n  x]}')
        with pytest.raises(json.JSONDecodeError) as host:
            json.loads('{"a": [1, 2,\n  x]}')
        assert str(ours.value) == str(host.value) == "Expecting value: line 2 column 3 (char 15)"


# --- json.dumps --------------------------------------------------------------------------------


class TestDumps:
    @settings(max_examples=400)
    @given(values_without_finite_reals)
    def test_generated_values_like_host(self, value):
        assert core.json_dumps(value) == json.dumps(value)
        assert core.json_dumps(value, indent=True) == json.dumps(value, indent=4)

    @settings(max_examples=300)
    @given(json_values(reals))
    def test_reals_like_host(self, value):
        assert core.json_dumps(value) == json.dumps(value)
        assert core.json_dumps(value, indent=True) == json.dumps(value, indent=4)

    @pytest.mark.parametrize(
        "value",
        [
            [], {}, [[]], {"a": {}}, (1, (2,)), "", "\x7f\x80\u07ff\uffff\U00010000\U0010ffff",
            "\ud800\udc00", "\udc00\ud800", 10**40, -(10**40), [1.0, 1e-05, 1e16, 1e22, -0.0],
            {"\n": None, "é": True}, [math.nan, math.inf, -math.inf],
        ],
    )
    def test_awkward_values_like_host(self, value):
        assert core.json_dumps(value) == json.dumps(value)
        assert core.json_dumps(value, indent=True) == json.dumps(value, indent=4)

    def test_what_the_host_refuses_is_refused(self):
        with pytest.raises(TypeError):
            core.json_dumps({1, 2})
        deep = []
        for _ in range(100000):
            deep = [deep]
        with pytest.raises(RecursionError):
            core.json_dumps(deep)


# --- through a reader --------------------------------------------------------------------------


class Reader(IPgxReader):
    def parse(self):
        return []


def host_load_error(path):
    with pytest.raises(json.JSONDecodeError) as info:
        with open(path, encoding="utf-8") as handle:
            json.load(handle)
    return info.value


class TestLoadJson:
    @pytest.mark.parametrize(
        "content",
        [
            b'{"genes": {"CPIC": [1, 2, ',
            b'{\r\n  "a": 1,\r\n  "b" 2\r\n}',
            b'{\r  "a": 1,\r  "b": x\r}',
            b'{"\xc3\xa9\xf0\x9f\x98\x80": 1,\n "b": [1 2]}',
            b'\xef\xbb\xbf{"a": 1}',
            b"",
        ],
    )
    def test_invalid_json_names_the_path_and_chains_the_hosts_error(self, tmp_path, content):
        path = tmp_path / "report.json"
        path.write_bytes(content)
        host = host_load_error(path)
        with pytest.raises(ValueError) as info:
            Reader(str(path))._load_json()
        assert type(info.value) is ValueError
        assert str(info.value) == f"{path} is not valid JSON: {host}"
        cause = info.value.__cause__
        assert isinstance(cause, json.JSONDecodeError)
        assert (cause.msg, cause.pos, cause.lineno, cause.colno, cause.doc) == (
            host.msg, host.pos, host.lineno, host.colno, host.doc)

    @pytest.mark.parametrize(
        "content", [b"true", b'{"b": [1, {"c": null}],\r\n "a": 2, "b": 3}', b"[1e400, NaN]"])
    def test_valid_json_loads_like_host(self, tmp_path, content):
        path = tmp_path / "data.json"
        path.write_bytes(content)
        with open(path, encoding="utf-8") as handle:
            assert same(Reader(str(path))._load_json(), json.load(handle))

    def test_invalid_utf8_is_the_hosts_decode_error(self, tmp_path):
        path = tmp_path / "latin1.json"
        path.write_bytes(b'{"gene": "caf\xe9"}')
        with pytest.raises(UnicodeDecodeError) as host:
            with open(path, encoding="utf-8") as handle:
                handle.read()
        with pytest.raises(UnicodeDecodeError) as ours:
            Reader(str(path))._load_json()
        assert (ours.value.start, ours.value.end, ours.value.reason) == (
            host.value.start, host.value.end, host.value.reason)

    def test_a_directory_is_an_os_error_not_invalid_json(self, tmp_path):
        with pytest.raises(IsADirectoryError):
            Reader(str(tmp_path))._load_json()


def host_load(path):
    with open(path, encoding="utf-8") as handle:
        return json.load(handle)


def file_outcome(load, path):
    """What loading a file gives: its value, the JSON fault (for ours, the chained cause) or
    the decoding error."""
    try:
        return ("value", load(path))
    except UnicodeDecodeError as error:
        return ("decode", error.start, error.end, error.reason)
    except ValueError as error:
        fault = error if isinstance(error, json.JSONDecodeError) else error.__cause__
        return ("error", fault.msg, fault.pos, fault.lineno, fault.colno, fault.doc)


class TestLoadJsonGenerated:
    """A reader loads what simdjson accepts from the file's bytes as they are, and leaves the
    decoding and the newline translation to the texts it refuses: whatever the bytes, the
    outcome must be the host's."""

    @staticmethod
    def assert_file_loads_like_host(path, text):
        path.write_bytes(text.encode("utf-8", "surrogatepass"))  # lone surrogates: not UTF-8
        ours = file_outcome(lambda p: Reader(str(p))._load_json(), path)
        host = file_outcome(host_load, path)
        if ours[0] == host[0] == "value":
            assert same(ours[1], host[1]), text
        else:
            assert ours == host, text

    @settings(max_examples=200, suppress_health_check=[HealthCheck.too_slow,
                                                        HealthCheck.function_scoped_fixture])
    @given(documents())
    def test_generated_files_like_host(self, tmp_path, text):
        self.assert_file_loads_like_host(tmp_path / "data.json", text)

    @settings(max_examples=300, suppress_health_check=[HealthCheck.too_slow,
                                                        HealthCheck.function_scoped_fixture])
    @given(damaged_documents())
    def test_damaged_files_like_host(self, tmp_path, text):
        self.assert_file_loads_like_host(tmp_path / "data.json", text)

