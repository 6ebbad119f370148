"""One PyPGx table of a whole cohort, named by every sample of a manifest: a large one is read
once per process and indexed by sample, and each sample's result is what reading the whole
table for it gives (a small, compressed copy of the same table is read whole every time)."""

import gzip

from OrvellePgxParser.cohort import convert_cohort, samples_from_manifest
from test_cohort import files

ROWS = 30000  # over a MiB: indexed


def write_table(path, compressed):
    lines = ["\tGenotype\tPhenotype\tHaplotype1\tHaplotype2"]
    for index in range(ROWS):
        genotype = ["*1/*2", "*1/*4", "*4/*5", "*2x2/*71"][index % 4]
        lines.append(f"N{index:05d}_PyPGx\t{genotype}\tNormal Metabolizer\t*1;\t*2;")
    lines.append("N00009_PyPGx\t*1/*1\tNormal Metabolizer\t*1;\t*1;")  # a sample's second row
    text = "\n".join(lines) + "\n"
    if compressed:
        path.write_bytes(gzip.compress(text.encode(), mtime=0))
    else:
        path.write_text(text)
    assert (path.stat().st_size > 1 << 20) != compressed


def test_a_shared_table_read_once_gives_what_reading_it_whole_gives(tmp_path):
    names = ["N00007", "N00007_PyPGx", "N00009", "N29999", "absent", "N0000", "N00012"]
    outputs = {}
    for form, table in (("indexed", "CYP2D6.tsv"), ("whole", "CYP2D6.tsv.gz")):
        folder = tmp_path / form
        folder.mkdir()
        write_table(folder / table, compressed=form == "whole")
        manifest = folder / "manifest.tsv"
        manifest.write_text("sample\tpath\n" + "".join(f"{n}\t{table}\n" for n in names))
        out = tmp_path / f"out-{form}"
        convert_cohort(samples_from_manifest(manifest), out, jobs=2)
        outputs[form] = {name: data.replace(str(folder / table).encode(), b"TABLE")
                         for name, data in files(out).items()}
    assert outputs["indexed"] == outputs["whole"]
    assert b"*2x2/*71" in outputs["indexed"]["N00007.json"]
    assert outputs["indexed"]["absent.json"] == b"[]"
