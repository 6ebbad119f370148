"""bench/bench_conversion.py: the whole conversion of a realistic sample, three ways.

(a) In process: one driver reads a ~4 MB PharmCAT 3.1 report, its phenotype file, a pbStarPhase
    JSON and a few PyPGx tables and returns the result array. The result is checked first.
    Target: at most 1.5x simdjson's own DOM parse of the same JSON bytes, measured in the same
    run by the core's benchmark (before and after the conversion; the lower figure counts):
        cmake -S . -B build/bench -DORVELLE_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release
        cmake --build build/bench --target bench_json_core
    Information: simdjson reading the files itself and parsing them (its parser.load); the core
    reading and parsing them before any reader runs, the floor of the conversion; the host's
    json.load of the same JSON files alone.
(b) The command line end to end on that sample, beside `python -c "import OrvellePgxParser"`:
    the extra time of the conversion over starting the interpreter.
(c) 1,000 samples converted one driver after another in one process: samples per second, and
    the resident memory at intervals (it should stay flat).

    .venv/bin/python bench/bench_conversion.py [--megabytes 4] [--repeat 7] [--samples 1000]
"""

import argparse
import json
import logging
import os
import random
import resource
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from bench_pharmcat_read import host_load, report
from timing import best_of

from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

PYPGX_GENES = ["CYP2D6", "CYP2C19", "CYP3A5", "SLCO1B1"]
CORE_BENCH = Path(__file__).resolve().parents[1] / "build" / "bench" / "bench" / "bench_json_core"
CONVERSION_TARGET = 1.5  # conversion time / simdjson's DOM parse of the same bytes


def gene_keyed(document):
    """The report in PharmCAT 3.1's layout: gene reports keyed by gene, without a source level
    and without "phenotypeSource" (the first section's report of a gene is kept)."""
    genes = {}
    for section in document["genes"].values():
        for gene, gene_report in section.items():
            genes.setdefault(gene, {key: value for key, value in gene_report.items()
                                    if key != "phenotypeSource"})
    return {**document, "pharmcatVersion": "v3.1.0-2-g0b250f81", "genes": genes}


def write_sample(folder, megabytes, rng):
    document = gene_keyed(report(megabytes, rng))
    paths = {
        "report": os.path.join(folder, "s.pharmcat.report.json"),
        "phenotype": os.path.join(folder, "s.pharmcat.phenotype.json"),
        "starphase": os.path.join(folder, "s.pbstarphase.json"),
    }
    with open(paths["report"], "w", encoding="utf-8") as handle:
        json.dump(document, handle, indent=2)
    with open(paths["phenotype"], "w", encoding="utf-8") as handle:
        json.dump({"geneReports": document["genes"]}, handle, indent=2)
    details = {gene: {"diplotypes": [{"hap1": "*1", "hap2": "*2", "diplotype": "*1/*2"}]}
               for gene in ["CYP2B6", "CYP2C19", "CYP2C9", "CYP2D6", "CYP4F2", "CYP1A2"]}
    with open(paths["starphase"], "w", encoding="utf-8") as handle:
        json.dump({"pbstarphase_version": "2.0.1", "database_metadata": {},
                   "gene_details": details}, handle, indent=2)
    for gene in PYPGX_GENES:
        with open(os.path.join(folder, f"{gene}.tsv"), "w", encoding="utf-8") as handle:
            handle.write("\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\n"
                         "S1_PyPGx\t*1/*2\tNormal Metabolizer\t*1;\t*2;\n")
    return paths


def in_process(folder):
    return OrvellePgxParser({"input_dir": folder}).run(return_list=True)


def core_figures(paths, repeat):
    """The core benchmark's figures over the files, in seconds by name ("simdjson": its DOM
    parse; "simdjson_load": reading and parsing; "load": the core's own); None when it is not
    built."""
    if not CORE_BENCH.is_file():
        return None
    output = subprocess.run([str(CORE_BENCH), "--repeat", str(repeat), *paths], check=True,
                            capture_output=True, text=True).stdout
    return {name: float(ms) / 1e3 for name, ms in (line.split() for line in output.splitlines())}


def rss_megabytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") / 1e6


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--megabytes", type=float, default=4.0)
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--samples", type=int, default=1000)
    args = parser.parse_args()
    # The generated genes draw warnings (unmapped terms); they are not what is measured.
    logging.getLogger("OrvellePgxParser").setLevel(logging.ERROR)

    with tempfile.TemporaryDirectory() as folder:
        paths = write_sample(folder, args.megabytes, random.Random(7))
        payload = in_process(folder)
        genes = [entry["Id"] for entry in payload]
        if genes != sorted(set(genes)) or "CYP2D6" not in genes:
            raise SystemExit("unexpected result: " + ", ".join(genes))

        # (a) in process; simdjson's figure before and after ours, as the load may change
        json_paths = list(paths.values())
        before = core_figures(json_paths, 4 * args.repeat)
        ours = best_of(args.repeat, lambda: in_process(folder))
        after = core_figures(json_paths, 4 * args.repeat)
        host = best_of(args.repeat, lambda: [host_load(p) for p in json_paths])
        size = sum(os.path.getsize(p) for p in json_paths) / 1e6
        print(f"(a) sample: {size:.2f} MB of JSON + {len(PYPGX_GENES)} PyPGx tables, "
              f"{len(payload)} genes")
        print(f"    conversion in process:   {ours * 1e3:8.2f} ms")
        if before is None:
            print(f"    simdjson DOM parse: not measured (build {CORE_BENCH.name}, see "
                  "bench_tables.py)")
        else:
            best = {name: min(before[name], after[name]) for name in before}
            simdjson = best["simdjson"]
            print(f"    simdjson DOM parse:      {simdjson * 1e3:8.2f} ms   target: conversion / "
                  f"parse {ours / simdjson:.2f}x (at most {CONVERSION_TARGET:.1f}x)")
            print(f"    simdjson load and parse: {best['simdjson_load'] * 1e3:8.2f} ms   info: "
                  f"conversion / simdjson reading the files itself "
                  f"{ours / best['simdjson_load']:.2f}x")
            print(f"    the core's read + parse: {best['load'] * 1e3:8.2f} ms   info: the floor, "
                  f"before any reader runs: {best['load'] / simdjson:.2f}x the parse")
        print(f"    json.load of the JSON:   {host * 1e3:8.2f} ms   info: json.load / "
              f"conversion {host / ours:.1f}x")

        # (b) the command line
        out = os.path.join(folder, "out")
        command = [sys.executable, "-m", "OrvellePgxParser", "--input-dir", folder,
                   "--output-dir", out, "--log-level", "ERROR"]
        start_only = [sys.executable, "-c", "import OrvellePgxParser"]
        cli = best_of(args.repeat, lambda: subprocess.run(command, check=True))
        start = best_of(args.repeat, lambda: subprocess.run(start_only, check=True))
        print(f"(b) info: command line: {cli * 1e3:.1f} ms; interpreter start and import: "
              f"{start * 1e3:.1f} ms; extra: {(cli - start) * 1e3:.1f} ms")

    # (c) many small samples, one driver each
    with tempfile.TemporaryDirectory() as folder:
        write_sample(folder, 0.05, random.Random(8))
        in_process(folder)
        marks = []
        began = time.perf_counter()
        for index in range(args.samples):
            in_process(folder)
            if index % (args.samples // 5 or 1) == 0:
                marks.append(rss_megabytes())
        elapsed = time.perf_counter() - began
        marks.append(rss_megabytes())
        print(f"(c) info: {args.samples} samples: {args.samples / elapsed:.0f} samples/s; RSS MB "
              "at intervals: " + ", ".join(f"{m:.1f}" for m in marks)
              + f"; peak {resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1e3:.1f} MB")


if __name__ == "__main__":
    main()
