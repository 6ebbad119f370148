"""The core's csv reader, DictReader and Sniffer held against the running host's csv module."""

import csv
import io

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

from OrvellePgxParser import _hostcompat

FIELD_LIMIT = 131072
SNIFF_CANDIDATES = ",;\t"

thorough = settings(max_examples=600, deadline=None,
                    suppress_health_check=[HealthCheck.too_slow])


def outcome(read):
    try:
        return read()
    except csv.Error as error:
        return ("csv.Error", str(error))


def host_rows(text, **dialect):
    return outcome(lambda: list(csv.reader(io.StringIO(text, newline=""), **dialect)))


def core_rows(text, **dialect):
    return outcome(lambda: _hostcompat.csv_rows(text, **dialect))


def host_dict_rows(text, **dialect):
    def read():
        reader = csv.DictReader(io.StringIO(text, newline=""), **dialect)
        fieldnames = reader.fieldnames
        return fieldnames, [list(row.items()) for row in reader]
    return outcome(read)


def core_dict_rows(text, **dialect):
    def read():
        fieldnames, rows = _hostcompat.csv_dict_rows(text, **dialect)
        return fieldnames, [list(row.items()) for row in rows]
    return outcome(read)


def host_sniff(sample, delimiters=SNIFF_CANDIDATES):
    try:
        found = csv.Sniffer().sniff(sample, delimiters=delimiters)
    except csv.Error as error:
        assert str(error) == "Could not determine delimiter"
        return None
    return (found.delimiter, found.quotechar, bool(found.doublequote),
            bool(found.skipinitialspace))


# --- generated input ----------------------------------------------------------------------------

READER_CHARS = st.sampled_from(
    list(',,;;\t\t""\'\'  \r\n\r\n') + list("abcxyz") + ["é", "€", "中", "\U0001F600", "\udc80", "\x00"])

dialects = st.fixed_dictionaries({
    "delimiter": st.sampled_from(SNIFF_CANDIDATES),
    "quotechar": st.sampled_from("\"'"),
    "doublequote": st.booleans(),
    "skipinitialspace": st.booleans(),
})


@st.composite
def tables(draw, cell_chars=READER_CHARS):
    """Rows of raw, quoted (line ends inside), doubled-quote and stray-quote cells, with mixed
    line ends, sometimes cut short inside a quote."""
    dialect = draw(dialects)
    q, d = dialect["quotechar"], dialect["delimiter"]
    lines = []
    for row in draw(st.lists(st.lists(st.text(cell_chars, max_size=6), max_size=5), max_size=7)):
        cells = []
        for cell in row:
            style = draw(st.sampled_from(["raw", "quoted", "quoted", "stray", "trailing"]))
            quoted = q + cell.replace(q, q + q) + q
            cells.append({"raw": cell, "quoted": quoted, "stray": cell[:2] + q + cell[2:],
                          "trailing": quoted + cell}[style])
        lines.append((d + " " if draw(st.booleans()) else d).join(cells))
        lines.append(draw(st.sampled_from(["\n", "\r\n", "\r", "\n\n", "\r\r\n"])))
    text = "".join(lines)
    if text and draw(st.booleans()):
        text = text[:draw(st.integers(0, len(text)))]
    return text, dialect


any_text = st.one_of(st.text(READER_CHARS, max_size=80), tables().map(lambda t: t[0]))


class TestReader:
    @thorough
    @given(tables())
    def test_generated_tables(self, table):
        text, dialect = table
        assert core_rows(text, **dialect) == host_rows(text, **dialect)

    @thorough
    @given(any_text, dialects)
    def test_random_text_in_every_dialect(self, text, dialect):
        assert core_rows(text, **dialect) == host_rows(text, **dialect)

    def test_defaults_are_the_hosts(self):
        text = 'a;"b,c"\t\' d\'\n'
        assert _hostcompat.csv_rows(text) == list(csv.reader(io.StringIO(text, newline="")))

    @pytest.mark.parametrize("size", [FIELD_LIMIT, FIELD_LIMIT + 1])
    @pytest.mark.parametrize("make", [
        lambda n: "a" * n,                                 # bytes == characters
        lambda n: "é" * n,                                 # twice the bytes of its characters
        lambda n: "x,\U0001F600" + "\U0001F600" * (n - 1),  # not the first field
        lambda n: '"' + '""' * n + '"',                    # doubled quotes count once
        lambda n: '"' + "ab\r\n" * (n // 4) + "a" * (n % 4) + '"',  # spanning lines
        lambda n: '"ab"' + "c" * (n - 2) + "\nnext",       # text after the closing quote
        lambda n: '"€\n' + "€" * (n - 2),                  # unterminated quote
        lambda n: "ok\r\n" * 3 + "a" * n + "\r\nlater",     # error after good rows
    ])
    def test_field_size_limit(self, make, size):
        text = make(size)
        assert core_rows(text) == host_rows(text)


class TestDictReader:
    NAMES = st.sampled_from(["a", "b", "a", "c", "", "é"])

    @thorough
    @given(st.lists(NAMES, max_size=5), tables(), st.booleans())
    def test_header_mapping(self, header, table, blank_header):
        body, dialect = table
        text = ("\n" if blank_header else dialect["delimiter"].join(header) + "\r\n") + body
        assert core_dict_rows(text, **dialect) == host_dict_rows(text, **dialect)

    @pytest.mark.parametrize("text", [
        "",
        "\n\n",
        "a,b,a\n1,2,3\n1,2\n1\n\n1,2,3,4,5\n",  # repeated name: last value, first place
        "a,b\n" + "x" * (FIELD_LIMIT + 1),
    ])
    def test_edges(self, text):
        assert core_dict_rows(text) == host_dict_rows(text)


# --- sniffing --------------------------------------------------------------------------------

WORDS = ["1", "22", "3.5", "CYP2D6", "*1/*4", "Normal Metabolizer", "", "x y", "a,b", "a;b",
         "t\tb", 'say "hi"', "it's", "-", "n/a"]


@st.composite
def sniff_tables(draw, words=WORDS):
    """Tables of each delimiter, quoted all, some or not at all, with spaces after delimiters;
    some ragged, some of a single column, some with stray delimiters in unquoted cells."""
    d = draw(st.sampled_from(",,;;\t\t|: "))
    q = draw(st.sampled_from("\"'"))
    quoting = draw(st.sampled_from(["none", "all", "needed", "random"]))
    plain = [w for w in words if not any(c in w for c in ",;\t|: \"'")]
    cell_words = st.sampled_from(words if quoting != "none" or draw(st.booleans()) else plain)
    width = draw(st.sampled_from([1, 2, 3, 3, 4, 6]))
    ragged = draw(st.sampled_from([False, False, True]))
    sep = d + (" " if draw(st.booleans()) else "")
    end = draw(st.sampled_from(["\n", "\r\n"]))
    lines = []
    for _ in range(draw(st.integers(0, 40))):
        count = draw(st.integers(1, width)) if ragged else width
        out = []
        for cell in draw(st.lists(cell_words, min_size=count, max_size=count)):
            quote = {"none": False, "all": True, "random": draw(st.booleans()),
                     "needed": d in cell or q in cell}[quoting]
            out.append(q + cell.replace(q, q + q) + q if quote else cell)
        lines.append(sep.join(out))
    text = end.join(lines) + (end if draw(st.booleans()) else "")
    return text[:4096]


JUNK_CHARS = st.sampled_from(list(',;\t"\' \n\r|:') + list("ab1_"))
CANDIDATE_SETS = st.sampled_from([SNIFF_CANDIDATES] * 4 + [",", "\t;", ",;\t |:", "|#!", ""])


class TestSniffer:
    @thorough
    @given(sniff_tables(), CANDIDATE_SETS)
    def test_generated_tables(self, sample, delimiters):
        assert _hostcompat.csv_sniff(sample, delimiters) == host_sniff(sample, delimiters)

    @thorough
    @given(st.text(JUNK_CHARS, max_size=300), CANDIDATE_SETS)
    def test_random_junk(self, sample, delimiters):
        assert _hostcompat.csv_sniff(sample, delimiters) == host_sniff(sample, delimiters)

    @thorough
    @given(st.one_of(sniff_tables(words=WORDS + ["é", "Straße", "中文", "€", "٣", "\xa0"]),
                     st.text(st.one_of(JUNK_CHARS, st.sampled_from("é€ß٣\xa0\udc80")),
                             max_size=300)))
    def test_non_ascii_word_characters(self, sample):
        assert _hostcompat.csv_sniff(sample, SNIFF_CANDIDATES) == host_sniff(sample)

    @pytest.mark.parametrize("sample", [
        "",                                   # nothing to go on
        "abc\ndef\n",                         # no candidate at all
        '"a"\n"b"\n',                         # quoted single column
        "'x', 'y'\n'z', 'w'\n",               # quotes after a space: skipinitialspace
        '"a ""b"" c",d\n',                    # doubled quotes
        "a;b,c\na;b,c\na;b\n",                # comma consistent, semicolon not
        "\n".join(["a,b;c"] * 12 + ["a;b"] * 3),  # a second chunk of ten lines
        '"say ""hi"""',                       # releases differ: doublequote
        "1\r;",                               # releases differ: a delimiter or none
    ])
    def test_known_shapes(self, sample):
        assert _hostcompat.csv_sniff(sample, SNIFF_CANDIDATES) == host_sniff(sample)


def test_real_caller_tables(shared_samples):
    tables_seen = 0
    for path in sorted(shared_samples.rglob("*")):
        if not path.is_file() or path.suffix == ".json":
            continue
        text = path.read_text(encoding="utf-8", errors="surrogateescape")
        sniffed = host_sniff(text[:4096])
        assert _hostcompat.csv_sniff(text[:4096], SNIFF_CANDIDATES) == sniffed, path
        dialect = dict(zip(["delimiter", "quotechar", "doublequote", "skipinitialspace"],
                           sniffed or (",", '"', True, False)))
        assert core_rows(text, **dialect) == host_rows(text, **dialect), path
        assert core_dict_rows(text, **dialect) == host_dict_rows(text, **dialect), path
        tables_seen += 1
    assert tables_seen
