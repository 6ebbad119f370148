"""The core's string semantics held against the host's own str methods, repr, str and decoder."""

import math
import re
import struct
import sys
import unicodedata

import pytest
from hypothesis import example, given
from hypothesis import strategies as st

from OrvellePgxParser import _hostcompat as core

CODE_POINTS = 0x110000
BATCH = 4096

# Any code point, lone surrogates included, and the characters that decide case, sigma and
# strip behaviour often enough to meet each other.
any_char = st.integers(0, CODE_POINTS - 1).map(chr)
tricky_char = st.sampled_from(
    list("\u03a3\u03c3\u03c2Aa'.:_ \t\n\x85\xa0\u3000\u0301\u0345\u00ad\u0130\u1e9e\xdf\ufb03")
    + ["\ud800", "\udfff", "\U0001f600", "\U00010400", "\x00", "\x7f", '"', "\\"]
)
texts = st.text(alphabet=st.one_of(any_char, tricky_char))


def batches():
    for start in range(0, CODE_POINTS, BATCH):
        yield "".join(map(chr, range(start, min(start + BATCH, CODE_POINTS))))


def test_tables_come_from_this_interpreter():
    assert core.unicode_version() == unicodedata.unidata_version


class TestEveryCodePoint:
    @pytest.mark.parametrize(
        "name, pattern", [("is_decimal", r"\d"), ("is_space", r"\s")]
    )
    def test_character_classes_match_re(self, name, pattern):
        predicate = getattr(core, name)
        for batch in batches():
            expected = [m.group() for m in re.finditer(pattern, batch)]
            assert [ch for ch in batch if predicate(ch)] == expected

    def test_space_is_what_strip_removes(self):
        for batch in batches():
            assert [core.is_space(ch) for ch in batch] == [ch.strip() == "" for ch in batch]

    @pytest.mark.parametrize("name", ["lower", "upper"])
    def test_case_mappings(self, name):
        for batch in batches():
            if getattr(core, name)(batch) != getattr(batch, name)():
                wrong = [ch for ch in batch if getattr(core, name)(ch) != getattr(ch, name)()]
                pytest.fail(f"{name} differs for {[hex(ord(ch)) for ch in wrong[:10]]}")

    def test_quoted(self):
        for batch in batches():
            if core.quoted(batch) != repr(batch):
                wrong = [ch for ch in batch if core.quoted(ch) != repr(ch)]
                pytest.fail(f"quoted differs for {[hex(ord(ch)) for ch in wrong[:10]]}")


class TestTexts:
    @given(texts)
    def test_strip_lower_upper_quoted(self, s):
        assert core.strip(s) == s.strip()
        assert core.lower(s) == s.lower()
        assert core.upper(s) == s.upper()
        assert core.quoted(s) == repr(s)

    @pytest.mark.parametrize(
        "s",
        [
            "\u03a3",  # alone: not final
            "\u0391\u03a3",  # after a letter, at the end: final
            "\u03a3\u0391",  # nothing cased before
            "\u0391\u03a3\u0391",  # a letter follows
            "\u0391\u03a3 \u0391",  # a space ends the word
            "\u0391.\u03a3",  # '.' is case-ignorable: still final
            "\u0391\u03a3'\u0391",  # an ignorable apostrophe then a letter: not final
            "\u0391\u03a3\u0301",  # a combining mark after: final
            "\u0391\u03a3\u0301\u0391",
            "\u0345\u03a3",  # cased and case-ignorable before: skipped, nothing cased
            "A\u0345\u03a3",
            "\u03a3\u03a3\u03a3",
            "\u0391\u03a3\ud800",  # a lone surrogate is neither
            "\ud800\u03a3",
            "\U00010400\u03a3",  # a cased letter beyond the BMP
            "ab\u03a3.\u03a3x\u03a3",
        ],
    )
    def test_final_sigma(self, s):
        assert core.lower(s) == s.lower()


def double_from_bits(bits):
    return struct.unpack("<d", struct.pack("<Q", bits))[0]


class TestRealRepr:
    @given(st.floats())
    @example(1e16)
    @example(9999999999999998.0)
    @example(1e-4)
    @example(9.999999999999999e-05)
    @example(1e-5)
    @example(5e-324)
    @example(2.2250738585072014e-308)
    @example(sys.float_info.max)
    @example(-0.0)
    @example(float(2**53))
    @example(123456789012345.6)
    @example(0.1 + 0.2)
    def test_floats(self, x):
        assert core.real_repr(x) == repr(x)

    @given(st.integers(0, 2**64 - 1).map(double_from_bits))
    def test_every_exponent(self, x):
        assert core.real_repr(x) == repr(x)

    def test_nan_ignores_its_sign(self):
        assert core.real_repr(-math.nan) == repr(-math.nan) == "nan"


json_values = st.recursive(
    st.none()
    | st.booleans()
    | st.integers()
    | st.integers(-(10**40), 10**40)
    | st.floats()
    | texts,
    lambda children: st.lists(children, max_size=5)
    | st.dictionaries(texts, children, max_size=5),
    max_leaves=20,
)


class TestJsonValueText:
    @given(json_values)
    @example({"a": [1, "b", None, True, 2.5, {"x": "it's"}], "": {}})
    @example([[], {}, -(2**63), 2**63, -(2**64)])
    def test_str_and_repr(self, value):
        assert core.to_text(value) == str(value)
        assert core.repr(value) == repr(value)


# Pieces that make byte strings near every decoder decision: valid characters of each
# length, encoded surrogates and overlong forms, lone lead and continuation bytes.
byte_pieces = st.one_of(
    any_char.map(lambda ch: ch.encode("utf-8", "surrogatepass")),
    st.binary(max_size=3),
    st.sampled_from(
        [b"a", b"\xc0\x80", b"\xc1\xbf", b"\xe0\x80\x80", b"\xe0\x9f\xbf", b"\xed\xa0\x80",
         b"\xf0\x8f\xbf\xbf", b"\xf4\x90\x80\x80", b"\xf5\x80\x80\x80", b"\xff", b"\x80",
         b"\xe2\x82", b"\xf0\x9f\x98"]
    ),
)
byte_strings = st.lists(byte_pieces, max_size=8).map(b"".join)


def assert_decodes_like_host(data):
    try:
        data.decode("utf-8")
    except UnicodeDecodeError as host:
        assert core.utf8_error(data) == (host.start, host.end, host.reason)
        with pytest.raises(UnicodeDecodeError) as raised:
            core.validate_utf8(data)
        assert raised.value.args == host.args
    else:
        assert core.utf8_error(data) is None
        core.validate_utf8(data)


class TestValidateUtf8:
    @given(byte_strings)
    def test_generated_bytes(self, data):
        assert_decodes_like_host(data)

    @given(byte_strings, byte_strings)
    def test_after_a_long_valid_run(self, bad, tail):
        # Long inputs take the vectorised path; the error report must still be exact.
        assert_decodes_like_host("é€😀a".encode() * 100 + bad + tail)

    def test_every_two_byte_start_with_continuations(self):
        for lead in range(0x80, 0x100):
            for second in range(0x100):
                for rest in (b"", b"\x80", b"\xbf\xbf", b"\x80a"):
                    assert_decodes_like_host(bytes([lead, second]) + rest)
