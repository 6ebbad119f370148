"""bench/bench_tables.py: reading 100,000-row tables into raw calls, next to the host's csv
module merely reading the same files.

    .venv/bin/python bench/bench_tables.py [--rows N] [--repeat R] [--core PATH]

Prints the best time of each and the ratio host / ours (above 1: ours is faster), for
information: no target is set on it. When the core's own benchmark is built (cmake -S . -B
build/bench -DORVELLE_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release && cmake --build build/bench
--target bench_tables_core), it is run on the same files, and the part of our time spent
storing the calls as host objects is shown.
"""

import argparse
import csv
import random
import subprocess
import tempfile
from pathlib import Path

from timing import best_of

from OrvellePgxParser.Parsers import DiplotypeSheetReader, PyPgxTableReader

CORE_BENCH = Path(__file__).resolve().parents[1] / "build" / "bench" / "bench" / "bench_tables_core"
GENOTYPES = ["*1/*1", "*1/*4", "*4/*5", "*2x2/*71", "*1/*36x2+*10", "*5/*68+*4", "*29/*106"]
PHENOTYPES = ["Normal Metabolizer", "Intermediate Metabolizer", "Poor Metabolizer",
              "Ultrarapid Metabolizer", "Indeterminate"]
GENES = ["CYP2D6", "CYP2C19", "CYP2C9", "CYP3A5", "DPYD", "TPMT", "NUDT15", "SLCO1B1"]


def write_pypgx_table(path, rows, rng):
    """A PyPGx data.tsv: empty first header cell, sample IDs, ;-terminated candidate lists."""
    with open(path, "w", newline="") as handle:
        handle.write("\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\tAlternativePhase"
                     "\tVariantData\tCNV\n")
        for i in range(rows):
            genotype = rng.choice(GENOTYPES)
            first, second = genotype.split("/")
            handle.write(f"S{i:06d}_PyPGx\t{genotype}\t{rng.choice(PHENOTYPES)}\t{first};*10;*2;"
                         f"\t{second};*2;\t;\t*4:22-42524947-C-T:0.913;*2:default;\tNormal\n")


def write_user_table(path, rows, rng):
    with open(path, "w", newline="") as handle:
        handle.write("Gene,Diplotype,Phenotype\n")
        for _ in range(rows):
            handle.write(f"{rng.choice(GENES)},{rng.choice(GENOTYPES)},"
                         f"{rng.choice(PHENOTYPES)}\n")


def host_rows(path, dict_reader, **dialect):
    with open(path, newline="", encoding="utf-8-sig") as handle:
        reader = csv.DictReader(handle, **dialect) if dict_reader else csv.reader(handle, **dialect)
        return list(reader)


def core_times(core, pypgx, user, repeat):
    """{kind: milliseconds} from the core's own benchmark, or {} when it is not built."""
    if not core.is_file():
        return {}
    lines = subprocess.run([str(core), str(pypgx), str(user), str(repeat)], check=True,
                           capture_output=True, text=True).stdout.splitlines()
    return {kind: float(ms) for kind, _, ms in (line.split() for line in lines)}


def compare(label, path, ours, rows, repeat, core_ms, **dialect):
    calls = ours()
    ours_time = best_of(repeat, ours)
    # The output is checked, so a fast wrong answer cannot pass for a fast one.
    assert len(calls) == rows, (label, len(calls))
    host = host_rows(path, True, **dialect)
    assert [c.diplotype for c in calls[:100]] == [
        r.get("Genotype", r.get("Diplotype")) for r in host[:100]]
    print(f"{label}: ours {ours_time * 1e3:8.1f} ms")
    if core_ms is not None:
        # The core ran in a process of its own; on a busy machine the split is rough.
        rest = max(0.0, ours_time * 1e3 - core_ms)
        print(f"  the core reading  {core_ms:8.1f} ms; storing the calls as host objects about"
              f" {rest:.0f} ms ({rest / (ours_time * 1e3):.0%})")
    for name, dict_reader in (("csv.reader", False), ("csv.DictReader", True)):
        host_time = best_of(repeat, lambda dict_reader=dict_reader: host_rows(path, dict_reader,
                                                                             **dialect))
        print(f"  host {name:15s} {host_time * 1e3:8.1f} ms   info: host / ours "
              f"{host_time / ours_time:5.1f}x")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rows", type=int, default=100_000)
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--core", type=Path, default=CORE_BENCH,
                        help="the core's own benchmark (default: %(default)s)")
    args = parser.parse_args()
    rng = random.Random(20240601)
    with tempfile.TemporaryDirectory() as folder:
        pypgx = Path(folder) / "CYP2D6.tsv"
        user = Path(folder) / "calls.csv"
        write_pypgx_table(pypgx, args.rows, rng)
        write_user_table(user, args.rows, rng)
        core = core_times(args.core, pypgx, user, args.repeat)
        compare(f"PyPGx table, {args.rows} rows", pypgx,
                lambda: PyPgxTableReader(str(pypgx)).parse(), args.rows, args.repeat,
                core.get("pypgx"), delimiter="\t")
        compare(f"user CSV, {args.rows} rows", user,
                lambda: DiplotypeSheetReader(str(user)).parse(), args.rows, args.repeat,
                core.get("user"))


if __name__ == "__main__":
    main()
