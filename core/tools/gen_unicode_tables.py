# core/tools/gen_unicode_tables.py: writes the core's Unicode tables from the running
# interpreter's own string methods, so the core answers exactly as the host it is built for.
#
#   python gen_unicode_tables.py OUTPUT
#
# Every property is read from what the interpreter's str methods do, not from a data file:
# white space (str.isspace, which str.strip() uses), printable (str.isprintable, which repr()
# uses), decimal (str.isdecimal, re's \d), the full case mappings of str.lower()/str.upper(), and the two properties of the final-sigma rule of
# str.lower(), observed through the case of a capital sigma in chosen contexts.
#
# The output is a two-level table: code point -> block -> record, with identical blocks and
# identical records shared.

import re
import sys
import unicodedata

CODE_POINTS = 0x110000
SIGMA, SMALL_SIGMA, FINAL_SIGMA = "\u03a3", "\u03c3", "\u03c2"

# Flag bits; core/src/text/unicode_db.h declares the same values.
SPACE, PRINTABLE, DECIMAL, CASED, CASE_IGNORABLE, LOWER_LONG, UPPER_LONG = (
    1 << bit for bit in range(7)
)

# Joining one probe per code point with a separator and splitting the mapped result back
# keeps the interpreter's work in C. NUL maps to itself, no other character's mapping holds
# it, and it is neither cased nor case-ignorable, so it ends a final-sigma context exactly
# as the end of a text does. NUL itself is probed on its own.
SEPARATOR = "\0"


def mapped_per_char(method, probes):
    """method applied to each probe (a text), with all but the first done in one call."""
    mapped = [method(probes[0])] + method(SEPARATOR.join(probes[1:])).split(SEPARATOR)
    assert len(mapped) == len(probes)
    return mapped


def positions(pattern, text):
    """The set of indices at which a one-character regular expression matches."""
    return {m.start() for m in re.finditer(pattern, text)}


def properties():
    chars = [chr(c) for c in range(CODE_POINTS)]
    everything = "".join(chars)
    # re's \s and \d in a str pattern are str.isspace and str.isdecimal one character at a
    # time, so one scan each finds them all.
    spaces = positions(r"\s", everything)
    decimals = positions(r"\d", everything)

    lowers = mapped_per_char(str.lower, chars)
    uppers = mapped_per_char(str.upper, chars)
    # A capital sigma lowers to a final sigma when a cased character precedes it (skipping
    # case-ignorable ones) and none follows it (likewise). So with c probed:
    #   "A" c SIGMA   is final  <=>  c is case-ignorable or cased
    #   "A" SIGMA c   is final  <=>  c is case-ignorable or not cased
    # Both together mean case-ignorable; the first alone means cased. A character that is
    # both never decides the rule (it is always skipped), so it is recorded as ignorable only.
    before = mapped_per_char(str.lower, ["A" + ch + SIGMA for ch in chars])
    after = mapped_per_char(str.lower, ["A" + SIGMA + ch for ch in chars])

    records = []
    for c, ch in enumerate(chars):
        flags = 0
        flags |= SPACE if c in spaces else 0
        flags |= PRINTABLE if ch.isprintable() else 0
        flags |= DECIMAL if c in decimals else 0
        final_before = before[c][-1] == FINAL_SIGMA
        final_after = after[c][1] == FINAL_SIGMA
        if final_before and final_after:
            flags |= CASE_IGNORABLE
        elif final_before:
            flags |= CASED
        records.append((flags, lowers[c], uppers[c]))
    # Standing alone, a capital sigma is not final: its context-free lower case is sigma.
    assert lowers[ord(SIGMA)] == SMALL_SIGMA
    return records


class LongMappings:
    """Mappings of two or three code points, each stored once."""

    def __init__(self):
        self.index = {}

    def add(self, text):
        assert 2 <= len(text) <= 3, text
        return self.index.setdefault(text, len(self.index))


def encode(records):
    """Per code point: (flags, lower, upper), where a one-character mapping is a delta from
    the code point and a longer one an index into the long mappings."""
    long_mappings = LongMappings()
    encoded = []
    for c, (flags, lower, upper) in enumerate(records):
        if len(lower) == 1:
            lower_value = ord(lower) - c
        else:
            flags |= LOWER_LONG
            lower_value = long_mappings.add(lower)
        if len(upper) == 1:
            upper_value = ord(upper) - c
        else:
            flags |= UPPER_LONG
            upper_value = long_mappings.add(upper)
        encoded.append((flags, lower_value, upper_value))
    return encoded, list(long_mappings.index)


def two_level(values, shift):
    """(block of each 2**shift code points, shared blocks flattened)."""
    size = 1 << shift
    blocks, block_of = {}, []
    for start in range(0, len(values), size):
        block = tuple(values[start : start + size])
        block_of.append(blocks.setdefault(block, len(blocks)))
    flat = [value for block in blocks for value in block]
    return block_of, flat


def int_type(values):
    top = max(values)
    return "std::uint8_t" if top < 1 << 8 else "std::uint16_t" if top < 1 << 16 else "std::uint32_t"


def type_size(name):
    return {"std::uint8_t": 1, "std::uint16_t": 2, "std::uint32_t": 4}[name]


def array(name, ctype, values, per_line=24):
    lines = [f"inline constexpr {ctype} {name}[] = {{"]
    for start in range(0, len(values), per_line):
        lines.append("    " + ", ".join(str(v) for v in values[start : start + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


def render(records):
    encoded, long_mappings = encode(records)
    record_index = {}
    record_of_char = [record_index.setdefault(r, len(record_index)) for r in encoded]

    def table_bytes(shift):
        block_of, flat = two_level(record_of_char, shift)
        return len(block_of) * type_size(int_type(block_of)) + len(flat) * type_size(
            int_type(flat)
        )

    shift = min(range(4, 12), key=table_bytes)
    block_of, flat = two_level(record_of_char, shift)

    version = sys.version.split()[0]
    out = [
        f"// generated by core/tools/gen_unicode_tables.py from Python {version}"
        f" (Unicode {unicodedata.unidata_version}); do not edit",
        "// Included once, by core/src/text/unicode_db.cpp.",
        "",
        "namespace orvelle::text::unicode_db {",
        "",
        f'inline constexpr char unicode_version[] = "{unicodedata.unidata_version}";',
        f'inline constexpr char python_version[] = "{sys.version_info[0]}.{sys.version_info[1]}";',
        f"inline constexpr unsigned block_shift = {shift};",
        "",
        array("block_of", int_type(block_of), block_of),
        "",
        array("record_of", int_type(flat), flat),
        "",
        "inline constexpr CharRecord records[] = {",
        *(f"    {{{f}, {lo}, {up}}}," for f, lo, up in record_index),
        "};",
        "",
        "inline constexpr char32_t long_mappings[][3] = {",
        *(
            "    {" + ", ".join(str(ord(ch)) for ch in text.ljust(3, "\0")) + "},"
            for text in long_mappings
        ),
        "};",
        "",
        "} // namespace orvelle::text::unicode_db",
        "",
    ]
    return "\n".join(out)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: gen_unicode_tables.py OUTPUT")
    text = render(properties())
    with open(sys.argv[1], "w", encoding="ascii", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
