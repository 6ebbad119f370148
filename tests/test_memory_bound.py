"""tests/test_memory_bound.py: peak memory of a whole run on a large input, within three times
the input's size (and a little; inflated size for a compressed input) above a process that only
imports the package.
bench/bench_scale.py shows the curve."""

import gzip
import json
import os
import shutil
import subprocess
import sys

PEAK = """
import json, resource, sys
from OrvellePgxParser.OrvellePgxParser import OrvellePgxParser
parser = OrvellePgxParser({"input_files": json.loads(sys.argv[1]), "output_dir": sys.argv[2]})
if json.loads(sys.argv[1]):
    parser.run()
print(resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024)
"""


def peak_bytes(inputs, out):
    child = subprocess.run([sys.executable, "-c", PEAK, json.dumps(inputs), str(out)],
                           capture_output=True, text=True, check=True, timeout=120)
    return int(child.stdout)


def write_report(path, genes):
    """A gene-keyed PharmCAT report whose gene reports carry what real ones do, ~1.5 KB each."""
    with open(path, "w") as handle:
        handle.write('{"pharmcatVersion": "3.1", "genes": {')
        for i in range(genes):
            allele = {"name": "*1", "function": "Normal function", "reference": True}
            diplotype = {"allele1": allele, "allele2": {**allele, "name": f"*{i % 40}"},
                         "phenotypes": ["Normal Metabolizer"], "label": f"*1/*{i % 40}",
                         "activityScore": None, "lookupKey": ["Normal Metabolizer"]}
            report = {"geneSymbol": f"G{i:06d}", "chr": "chr22", "phased": False,
                      "callSource": "MATCHER", "sourceDiplotypes": [diplotype],
                      "recommendationDiplotypes": [diplotype], "messages": [],
                      "variants": [{"position": 42126000 + k, "dbSNPId": f"rs{k}", "call": "C|T"}
                                   for k in range(4)]}
            handle.write(("," if i else "") + f'"G{i:06d}": ' + json.dumps(report))
        handle.write("}}")


def test_a_large_report_peaks_within_three_times_its_size(tmp_path):
    # Reading it through simdjson's DOM once took six times its size. The margin above three
    # is for buffers of fixed size (a thread's kept arena blocks), not small beside 20 MB.
    report = tmp_path / "big.pharmcat.report.json"
    write_report(report, 20_000)
    size = os.path.getsize(report)
    base = peak_bytes([], tmp_path / "out")
    excess = peak_bytes([str(report)], tmp_path / "out") - base
    assert excess <= 3.3 * size, f"peak {excess / size:.2f} x the input above the base"


def test_a_compressed_report_peaks_within_three_times_its_inflated_size(tmp_path):
    # The compressed bytes are let go once inflated, before the report is parsed.
    report = tmp_path / "big.pharmcat.report.json"
    write_report(report, 20_000)
    size = os.path.getsize(report)
    packed = tmp_path / "big.pharmcat.report.json.gz"
    with open(report, "rb") as plain, gzip.open(packed, "wb", compresslevel=1) as out:
        shutil.copyfileobj(plain, out)
    report.unlink()
    base = peak_bytes([], tmp_path / "out")
    excess = peak_bytes([str(packed)], tmp_path / "out") - base
    assert excess <= 3.3 * size, f"peak {excess / size:.2f} x the inflated input above the base"
