"""bench/bench_csv_read.py: reading speed of the core csv reader against the host's csv.reader.

Reads one generated 100,000-row tab-separated table (a few quoted cells, some non-ASCII) with
  - the host's csv.reader (rows as lists of str),
  - the core reader alone (rows counted, no host objects built),
  - the core reader with its rows turned into lists of str,
and prints MB/s (UTF-8 bytes of the text per second, best of several runs) side by side, for
information: no target is set on them.

    .venv/bin/python bench/bench_csv_read.py [rows]
"""

import csv
import io
import random
import sys

from timing import best_of

from OrvellePgxParser import _hostcompat

GENES = ["CYP2D6", "CYP2C19", "CYP2C9", "SLCO1B1", "DPYD", "TPMT", "NUDT15", "UGT1A1"]
PHENOTYPES = ["Normal Metabolizer", "Poor Metabolizer", "Ultrarapid Metabolizer", "Indéterminé"]


def make_table(rows):
    rng = random.Random(7)
    lines = ["sample\tgene\tdiplotype\tphenotype\tactivity\tnote"]
    for i in range(rows):
        note = '"see ""report"", p. 2"' if i % 50 == 0 else ""
        lines.append("\t".join([
            f"S{i:06d}", rng.choice(GENES), f"*{rng.randint(1, 40)}/*{rng.randint(1, 40)}",
            rng.choice(PHENOTYPES), f"{rng.random() * 3:.2f}", note]))
    return "\n".join(lines) + "\n"


def main():
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 100_000
    text = make_table(rows)
    megabytes = len(text.encode("utf-8")) / 1e6
    host = list(csv.reader(io.StringIO(text, newline=""), delimiter="\t"))
    assert _hostcompat.csv_rows(text, delimiter="\t") == host
    assert _hostcompat.csv_scan(text, delimiter="\t") == len(host)

    readers = {
        "host csv.reader": lambda: list(csv.reader(io.StringIO(text, newline=""), delimiter="\t")),
        "core reader alone": lambda: _hostcompat.csv_scan(text, delimiter="\t"),
        "core reader + host lists": lambda: _hostcompat.csv_rows(text, delimiter="\t"),
    }
    print(f"{len(host):,} rows, {megabytes:.1f} MB")
    for name, read in readers.items():
        seconds = best_of(5, read)
        print(f"info: {name:26} {seconds * 1e3:8.1f} ms {megabytes / seconds:8.1f} MB/s")


if __name__ == "__main__":
    main()
