"""bench/bench_scale.py: what a whole conversion costs as its input grows, and whether a
long-lived process keeps its memory.

    .venv/bin/python bench/bench_scale.py [--quick] [--series NAME ...]

Series (each point a fresh process that runs the driver once and writes the result):
  pharmcat  a PharmCAT report of N gene reports, about 2 KB each (100 KB to 200 MB); also
            gzip-compressed (pharmcat-gz), sized by its inflated data
  rows      a PyPGx table of N sample rows of one gene (10 to 1,000,000 rows)
  genes     user tables of N genes, as CSV and as JSON (10 to 100,000 genes)
  soak      10,000 drivers built and run (return_list) in one process, RSS every 1,000

For each point: seconds (best of 3 runs, of 5 below a tenth of the largest), cost per MB and
per row, peak memory (ru_maxrss) above the base (a process that only imports the package and
builds a driver) and that excess over the input's size. Per series: the slope of log(time)
against log(size) over the larger points (1.0 is linear) and the memory per row or gene at the
largest size. Overall: the highest peak held against three times the largest input, the one
target ("target:"); the slopes and the soak's growth are information ("info:"). --quick caps
the sizes at a tenth or less and the soak at 1,000 runs.
"""

import argparse
import gzip
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

GENOTYPES = ["*1/*1", "*1/*4", "*4/*5", "*2x2/*71", "*1/*36x2+*10", "*29/*106"]
PHENOTYPES = ["Normal Metabolizer", "Intermediate Metabolizer", "Poor Metabolizer",
              "Ultrarapid Metabolizer", "Indeterminate"]

# Driver runs in a fresh process: the peak memory of the first run, and the best time of
# `repeat` runs (later runs are timed only: what they reuse would blur the peak of one run).
CHILD = """
import json, resource, sys, time
sys.path.insert(0, sys.argv[4])
from timing import best_of
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
inputs, out, repeat = json.loads(sys.argv[1]), sys.argv[2], int(sys.argv[3])
parser = OrvellePgxParser({"input_files": inputs, "output_dir": out})
start = time.perf_counter()
if inputs:
    parser.run()
seconds = time.perf_counter() - start
maxrss = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024
if inputs:
    seconds = min(seconds, best_of(repeat - 1, parser.run))
print(json.dumps({"seconds": seconds, "maxrss": maxrss}))
"""


def gene_report(gene, i):
    """One gene report of a gene-keyed (3.1+) PharmCAT report, shaped like a real one."""
    genotype = GENOTYPES[i % len(GENOTYPES)]
    first, second = genotype.split("/")

    def allele(name):
        return {"gene": gene, "name": name, "function": "Normal function",
                "reference": name == "*1", "activityValue": "1.0"}

    diplotype = {"allele1": allele(first), "allele2": allele(second), "gene": gene,
                 "phenotypes": [PHENOTYPES[i % len(PHENOTYPES)]], "outsidePhenotype": False,
                 "activityScore": None, "outsideActivityScore": False, "variant": None,
                 "lookupKey": [PHENOTYPES[i % len(PHENOTYPES)]], "label": genotype,
                 "inferred": False, "combination": False}
    return {"alleleDefinitionVersion": "2024-10-01-12-00", "alleleDefinitionSource": "PHARMVAR",
            "geneSymbol": gene, "chr": "chr22", "phased": False, "effectivelyPhased": True,
            "callSource": "MATCHER", "uncalledHaplotypes": [], "messages": [],
            "relatedDrugs": [{"name": "example drug", "id": f"PA{i:06d}"}],
            "sourceDiplotypes": [diplotype], "recommendationDiplotypes": [diplotype],
            "variants": [{"position": 42126000 + k, "dbSNPId": f"rs{1000 + k}", "call": "C|T",
                          "alleles": ["C", "T"], "phased": True, "wildtypeAllele": "C"}
                         for k in range(3)]}


def write_pharmcat(path, genes):
    with open(path, "w") as handle:
        handle.write('{"title": "bench", "timestamp": "2026-01-01T00:00:00Z", '
                     '"pharmcatVersion": "3.1", "dataVersion": "2026-01", "genes": {')
        for i in range(genes):
            gene = f"G{i:06d}"
            handle.write(("," if i else "") + json.dumps(gene) + ": ")
            handle.write(json.dumps(gene_report(gene, i)))
        handle.write('}, "drugs": {}, "messages": []}')


def write_compressed(write, path, size):
    """`write` the input at `path` without its .gz, then gzip it to `path` (level 1: the
    series measures reading, not compressing)."""
    plain = path.with_suffix("")
    write(plain, size)
    with open(plain, "rb") as source, gzip.open(path, "wb", compresslevel=1) as target:
        shutil.copyfileobj(source, target)
    plain.unlink()


def input_size(path):
    """The size of an input as the converter reads it: a gzip file's by its trailer."""
    if str(path).endswith(".gz"):
        with open(path, "rb") as handle:
            handle.seek(-4, os.SEEK_END)
            return int.from_bytes(handle.read(4), "little")
    return os.path.getsize(path)


def write_pypgx(path, rows):
    with open(path, "w") as handle:
        handle.write("\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\tAlternativePhase"
                     "\tVariantData\tCNV\n")
        for i in range(rows):
            genotype = GENOTYPES[i % len(GENOTYPES)]
            first, second = genotype.split("/")
            handle.write(f"S{i:07d}_PyPGx\t{genotype}\t{PHENOTYPES[i % len(PHENOTYPES)]}"
                         f"\t{first};\t{second};\t;\t*4:22-42524947-C-T:0.913;\tNormal\n")


def write_user_csv(path, genes):
    with open(path, "w") as handle:
        handle.write("Gene,Diplotype,Phenotype\n")
        for i in range(genes):
            handle.write(f"G{i:06d},{GENOTYPES[i % 6]},{PHENOTYPES[i % 5]}\n")


def write_user_json(path, genes):
    rows = [{"Gene": f"G{i:06d}", "Diplotype": GENOTYPES[i % 6], "Phenotype": PHENOTYPES[i % 5]}
            for i in range(genes)]
    Path(path).write_text(json.dumps(rows))


def measure(inputs, folder, repeat=1):
    child = subprocess.run([sys.executable, "-c", CHILD, json.dumps(inputs), str(folder / "out"),
                            str(repeat), str(Path(__file__).resolve().parent)],
                           capture_output=True, text=True, check=True)
    return json.loads(child.stdout)


def series(name, sizes, unit, make, folder, base, peaks):
    """Runs one series; returns its log-log slope of time against size. Adds each point's
    (peak, input size) to `peaks`."""
    print(f"\n{name}: {'size':>10} {unit:>10} {'seconds':>9} {'s/MB':>8} {'us/' + unit:>9} "
          f"{'peak MB':>8} {'excess/input':>12}")
    points = []
    for size in sizes:
        path = make(folder, size)
        megabytes = input_size(path) / 1e6
        # The points the slope is fitted on are all timed alike (best of three runs, against
        # the noise of a shared machine); the smaller ones best of five.
        result = measure([str(path)], folder, 3 if size * 10 >= sizes[-1] else 5)
        excess_bytes = max(result["maxrss"] - base, 0)
        excess = excess_bytes / input_size(path)
        print(f"{name}: {megabytes:>8.2f}MB {size:>10} {result['seconds']:>9.3f} "
              f"{result['seconds'] / megabytes:>8.3f} {result['seconds'] / size * 1e6:>9.2f} "
              f"{result['maxrss'] / 1e6:>8.1f} {excess:>12.2f}")
        points.append((size, result["seconds"]))
        peaks.append((result["maxrss"], input_size(path)))
        os.remove(path)
    print(f"{name}: at the largest size the peak is base + {excess:.2f} x the input, "
          f"{excess_bytes / size:.0f} bytes per {unit}")
    # Fixed costs (and warm repeats) hide the growth of the small points: fit the ones within
    # a tenth of the top.
    fit = [(math.log(s), math.log(t)) for s, t in points if s * 10 >= sizes[-1]]
    mean_x = sum(x for x, _ in fit) / len(fit)
    mean_y = sum(y for _, y in fit) / len(fit)
    slope = (sum((x - mean_x) * (y - mean_y) for x, y in fit)
             / sum((x - mean_x) ** 2 for x, _ in fit))
    print(f"{name}: slope of log(time) on log({unit}) = {slope:.2f} (1.00 is linear)")
    return slope


def soak(runs, folder):
    """Builds and runs the driver `runs` times in this process; prints the RSS as it goes."""
    from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser

    sample = folder / "soak"
    sample.mkdir()
    write_pharmcat(sample / "s.pharmcat.report.json", 5)
    write_user_csv(sample / "s.csv", 8)  # three genes more than the report: 8 results
    page = os.sysconf("SC_PAGE_SIZE")

    def rss():
        with open("/proc/self/statm") as handle:
            return int(handle.read().split()[1]) * page / 1e6

    print(f"\nsoak: {'runs':>6} {'RSS MB':>8}")
    readings = []
    for i in range(1, runs + 1):
        payload = OrvellePgxParser({"input_dir": str(sample)}).run(return_list=True)
        assert len(payload) == 8
        if i % (runs // 10) == 0:
            readings.append(rss())
            print(f"soak: {i:>6} {readings[-1]:>8.1f}")
    print(f"info: soak: growth from the first reading to the last: "
          f"{readings[-1] - readings[0]:+.1f} MB")


# Each series: its input files (size -> path) and sizes, full and --quick.
SERIES = {
    "pharmcat": ("gene", lambda d, n: write_pharmcat(d / "s.pharmcat.report.json", n),
                 "s.pharmcat.report.json", [50, 500, 5_000, 25_000, 50_000, 100_000], 5_000),
    "pharmcat-gz": ("gene", lambda d, n: write_compressed(write_pharmcat,
                                                          d / "s.pharmcat.report.json.gz", n),
                    "s.pharmcat.report.json.gz", [50, 500, 5_000, 25_000, 50_000, 100_000], 5_000),
    "rows": ("row", lambda d, n: write_pypgx(d / "CYP2D6.tsv", n),
             "CYP2D6.tsv", [10, 1_000, 10_000, 100_000, 300_000, 1_000_000], 100_000),
    "genes-csv": ("gene", lambda d, n: write_user_csv(d / "genes.csv", n),
                  "genes.csv", [10, 1_000, 10_000, 30_000, 100_000], 10_000),
    "genes-json": ("gene", lambda d, n: write_user_json(d / "genes.json", n),
                   "genes.json", [10, 1_000, 10_000, 30_000, 100_000], 10_000),
}


def main():
    options = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    options.add_argument("--quick", action="store_true")
    options.add_argument("--series", nargs="*", default=["pharmcat", "rows", "genes", "soak"])
    args = options.parse_args()

    with tempfile.TemporaryDirectory() as scratch:
        folder = Path(scratch)
        base = measure([], folder)["maxrss"]
        print(f"base: a process that imports the package and builds a driver peaks at "
              f"{base / 1e6:.1f} MB")
        slopes, peaks = {}, []
        for name, (unit, write, file_name, sizes, quick_limit) in SERIES.items():
            if name not in args.series and name.split("-")[0] not in args.series:
                continue
            if args.quick:
                sizes = [size for size in sizes if size <= quick_limit]

            def make(folder, size, write=write, file_name=file_name):
                write(folder, size)
                return folder / file_name

            slopes[name] = series(name, sizes, unit, make, folder, base, peaks)
        if "soak" in args.series:
            soak(1_000 if args.quick else 10_000, folder)
        if slopes:
            print("\ninfo: slopes: " + ", ".join(f"{k} {v:.2f}" for k, v in slopes.items()))
            highest = max(peak for peak, _ in peaks)
            largest = max(size for _, size in peaks)
            ratio = (highest - base) / largest
            print(f"target: highest peak of all runs: {highest / 1e6:.1f} MB = base + {ratio:.2f} x "
                  f"the largest input ({largest / 1e6:.1f} MB): "
                  f"{'within' if ratio <= 3 else 'ABOVE'} the bound of 3 x")


if __name__ == "__main__":
    main()
