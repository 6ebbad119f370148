"""bench/bench_biobank.py: a biobank's cohort from a manifest: memory, open files and a shared
PyPGx table at scale.

    .venv/bin/python bench/bench_biobank.py [--samples 250000] [--jobs 2]

The cohort: `--samples` samples in one manifest, each naming a small table of its own (two
genes) and one PyPGx table of the whole cohort (a row per sample, ~10 MB at 250,000). Each run
converts in a fresh process, sampling its open file descriptors as it goes:
  - every sample, and a tenth of them: peak memory against the manifest's size;
  - a tenth of them with the shared table, and with a one-row table of its own instead: the
    shared table, read once per process and indexed, should cost a sample what its own small
    table costs (read whole for every sample, it would cost the table's size each time).
Every run's summary is checked: every sample converted.
"""

import argparse
import json
import subprocess
import sys
import tempfile
import time
from pathlib import Path

CHILD = """
import json, logging, os, resource, sys, threading, time
from OrvellePgxParser.cohort import convert_cohort, samples_from_manifest
logging.getLogger("OrvellePgxParser").setLevel(logging.ERROR)
most_files, done = [0], threading.Event()
def count_files():
    while not done.wait(0.01):
        most_files[0] = max(most_files[0], len(os.listdir("/proc/self/fd")))
threading.Thread(target=count_files, daemon=True).start()
start = time.perf_counter()
outcomes = convert_cohort(samples_from_manifest(sys.argv[1]), sys.argv[2], jobs=int(sys.argv[3]))
seconds = time.perf_counter() - start
done.set()
assert all(o.ok for o in outcomes), [o for o in outcomes if not o.ok][:3]
print(json.dumps({"seconds": seconds, "samples": len(outcomes), "files": most_files[0],
                  "maxrss": resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024}))
"""

GENOTYPES = ["*1/*2", "*1/*4", "*4/*5", "*2x2/*71"]


def generate(root: Path, samples: int):
    """The samples' own tables, the shared table, and three manifests: all samples, a tenth,
    and a tenth naming one-row PyPGx tables of their own instead of the shared one."""
    own = root / "own"
    own.mkdir()
    with open(root / "CYP2D6.tsv", "w") as table:
        table.write("\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\n")
        for index in range(samples):
            table.write(f"B{index:06d}_PyPGx\t{GENOTYPES[index % 4]}\tNormal Metabolizer\t"
                        "*1;\t*2;\n")
    tenth = max(1, samples // 10)
    with open(root / "all.tsv", "w") as every, open(root / "tenth.tsv", "w") as part, \
            open(root / "tenth-own.tsv", "w") as alone:
        for manifest in (every, part, alone):
            manifest.write("sample\tpath\n")
        for index in range(samples):
            name = f"B{index:06d}"
            (own / f"{name}.csv").write_text(
                f"Gene,Diplotype\nCYP2C19,{GENOTYPES[index % 4]}\nCYP2C9,*1/*2\n")
            rows = f"{name}\town/{name}.csv\n{name}\tCYP2D6.tsv\n"
            every.write(rows)
            if index < tenth:
                part.write(rows)
                (own / name).mkdir()
                (own / name / "CYP2D6.tsv").write_text(
                    "\tGenotype\tPhenotype\tHaplotype1\tHaplotype2\n"
                    f"{name}_PyPGx\t{GENOTYPES[index % 4]}\tNormal Metabolizer\t*1;\t*2;\n")
                alone.write(f"{name}\town/{name}.csv\n{name}\town/{name}/CYP2D6.tsv\n")


def run(root: Path, manifest: str, jobs: int) -> dict:
    out = root / f"out-{manifest}"
    child = subprocess.run([sys.executable, "-c", CHILD, str(root / manifest), str(out),
                            str(jobs)], capture_output=True, text=True, check=True)
    subprocess.run(["rm", "-rf", str(out)], check=True)
    return json.loads(child.stdout)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--samples", type=int, default=250000)
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as temporary:
        root = Path(temporary)
        began = time.perf_counter()
        generate(root, args.samples)
        print(f"cohort: {args.samples} samples, a shared PyPGx table of "
              f"{(root / 'CYP2D6.tsv').stat().st_size / 1e6:.1f} MB "
              f"(generated in {time.perf_counter() - began:.0f} s); jobs={args.jobs}")
        alone = run(root, "tenth-own.tsv", args.jobs)
        tenth = run(root, "tenth.tsv", args.jobs)
        every = run(root, "all.tsv", args.jobs)

    for label, figures in (("a tenth, own PyPGx tables", alone), ("a tenth", tenth),
                           ("every sample", every)):
        print(f"  {label:26s} {figures['samples']:7d} samples  "
              f"{figures['samples'] / figures['seconds']:7.0f} samples/s  "
              f"peak {figures['maxrss'] / 1e6:6.0f} MB  at most {figures['files']} open files")
    added = (every["maxrss"] - tenth["maxrss"]) / (every["samples"] - tenth["samples"])
    print(f"target: peak memory grows by at most 1 KB per sample of the manifest (its name, paths "
          f"and summary row; conversion itself is flat): {added:.0f} bytes "
          f"({every['maxrss'] / tenth['maxrss']:.2f}x for {every['samples'] / tenth['samples']:.0f}x "
          "the samples)")
    print(f"target: open files do not grow with the samples: at most {tenth['files']} for "
          f"{tenth['samples']}, {every['files']} for {every['samples']}")
    rate = lambda figures: figures["samples"] / figures["seconds"]  # noqa: E731
    print(f"target: the shared table, read once per process, costs a sample what a one-row "
          f"table of its own does (rate with the shared / with own tables >= 0.8): "
          f"{rate(tenth) / rate(alone):.2f}")


if __name__ == "__main__":
    main()
