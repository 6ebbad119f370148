"""bench/bench_startup.py: the command's whole run and the library's import, against the
interpreter starting with the host modules they build on.

(1) `orvelle-pgx-parser`, and `python -m OrvellePgxParser`, converting one real sample (a
    PharmCAT 3.1 report and phenotype file and a one-row PyPGx table), beside
    `python -c "import logging, argparse"`: the ratio of the medians of whole-process runs.
(2) `import OrvellePgxParser.OrvellePgxParser` in a host that has imported logging: the time
    it adds to `python -c "import logging"`.
The commands take turns; the conversion's result is checked first. CPU times are shown as
information: on a machine shared with other work they vary less than wall times.

    .venv/bin/python bench/bench_startup.py [--repeat 31] [--python PYTHON] [--samples DIR]

--python measures the installation of another interpreter (an older build, for a before and
after in one run of this script).
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from timing import process_medians

COMMAND_LIMIT, IMPORT_LIMIT_MS = 1.3, 10.0
HERE = Path(__file__).resolve().parent
PHARMCAT = ("v3.1.1.pharmcat.example.report.json", "v3.1.1.pharmcat.example.phenotype.json")
PYPGX = "CYP2D6.2022.tsv"


def shared_samples():
    """The folder of real caller output beside the checkout (or beside a folder of them)."""
    for folder in HERE.parents:
        if (folder / "shared" / "samples").is_dir():
            return folder / "shared" / "samples"
    return None


def write_sample(samples, folder):
    for name in PHARMCAT:
        shutil.copyfile(samples / "pharmcat" / name, folder / name)
    with open(samples / "pypgx" / PYPGX, encoding="utf-8") as table:
        header, row = table.readline(), table.readline()
    (folder / "CYP2D6.tsv").write_text(header + row, encoding="utf-8")
    return sorted(str(path) for path in folder.iterdir())


def check_result(command, out):
    subprocess.run(command, check=True, capture_output=True)
    genes = [entry["Id"] for entry in json.loads((out / "orvelle_pgx.json").read_text())]
    if len(genes) < 20 or genes != sorted(set(genes)) or "CYP2D6" not in genes:
        raise SystemExit("unexpected result: " + ", ".join(genes))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=31)
    parser.add_argument("--python", default=sys.executable)
    parser.add_argument("--samples", type=Path, default=shared_samples())
    args = parser.parse_args()
    if args.samples is None or not (args.samples / "pharmcat" / PHARMCAT[0]).is_file():
        raise SystemExit("the shared samples of real caller output are needed (--samples DIR)")
    python = args.python
    script = str(Path(python).with_name("orvelle-pgx-parser"))

    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        (work / "in").mkdir()
        files = write_sample(args.samples, work / "in")
        out = work / "out"
        run = [*files, "--output-dir", str(out)]  # the default log level, as pipelines run it
        commands = {
            "host": [python, "-c", "import logging, argparse"],
            "command": [script, *run],
            "module": [python, "-m", "OrvellePgxParser", *run],
            "logging": [python, "-c", "import logging"],
            "import": [python, "-c", "import logging; import OrvellePgxParser.OrvellePgxParser"],
        }
        check_result(commands["command"], out)
        size = sum(os.path.getsize(path) for path in files) / 1e6
        medians = process_medians(commands, args.repeat)

    wall = {name: value[0] for name, value in medians.items()}
    cpu = {name: value[1] for name, value in medians.items()}
    print(f"sample: PharmCAT 3.1 report and phenotype, one-row PyPGx table ({size:.2f} MB); "
          f"{python}; median of {args.repeat} runs each, in turns")
    labels = {"host": 'python -c "import logging, argparse"', "command": "orvelle-pgx-parser",
              "module": "python -m OrvellePgxParser", "logging": 'python -c "import logging"',
              "import": "... ; import OrvellePgxParser.OrvellePgxParser"}
    for name, label in labels.items():
        print(f"    {label:52s} wall {wall[name] * 1e3:6.1f} ms   cpu {cpu[name] * 1e3:6.1f} ms")
    for name in ("command", "module"):
        print(f"target: (1) {labels[name]} / host start: {wall[name] / wall['host']:.2f}x "
              f"(at most {COMMAND_LIMIT}x); "
              f"info: on CPU time {cpu[name] / cpu['host']:.2f}x")
    added, added_cpu = wall["import"] - wall["logging"], cpu["import"] - cpu["logging"]
    print(f"target: (2) library import after logging adds {added * 1e3:.1f} ms, "
          f"{added * 1e3 / IMPORT_LIMIT_MS:.2f} of the {IMPORT_LIMIT_MS:.0f} ms allowed; "
          f"info: on CPU time {added_cpu * 1e3:.1f} ms")


if __name__ == "__main__":
    main()
