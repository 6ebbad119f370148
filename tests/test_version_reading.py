"""The package version read from the distribution's own METADATA agrees with
importlib.metadata on every layout of sys.path it may meet (a differential test, in process)."""

import zipfile
from importlib import metadata

import pytest

from OrvellePgxParser import _version
from OrvellePgxParser.OrvellePgxParser import __version__

NAME = "OrvellePgxParser"


def dist_info(folder, name, text, kind="dist-info", file="METADATA"):
    info = folder / f"{name}.{kind}"
    info.mkdir(parents=True)
    if text is not None:
        (info / file).write_bytes(text.encode("utf-8"))
    return info


def plain(version):
    return f"Metadata-Version: 2.1\nName: {NAME}\nVersion: {version}\nSummary: s\n\nbody\n"


LAYOUTS = {
    "first on the path wins": [[("OrvellePgxParser-1.0", plain("1.0"))],
                               [("OrvellePgxParser-2.0", plain("2.0"))]],
    "other distributions are passed over": [[("other-1.0", plain("9.9"))],
                                            [("orvellepgxparser-3.0", plain("3.0"))]],
    "name compared case-blind": [[("ORVELLEPGXPARSER-4.0", plain("4.0"))]],
    "separated names are other distributions": [[("orvelle_pgx_parser-5.0", plain("5.0"))]],
    "header case, spaces, CRLF": [[("OrvellePgxParser-6.0",
                                    "Name: x\r\nversion:\t 6.0 \r\nSummary: y\r\n\r\n")]],
    "a folded header before Version": [[("OrvellePgxParser-7.0",
                                         "Summary: a\n  b\nVersion: 7.0\n\n")]],
    "a folded Version": [[("OrvellePgxParser-8.0", "Version: 8.0\n .1\n\n")]],
    "no Version header": [[("OrvellePgxParser-9.0", "Name: x\n\nVersion: 9.0\n")]],
    "empty METADATA": [[("OrvellePgxParser-1.1", "")]],
    "a first dist-info without METADATA": [[("OrvellePgxParser-1.2", None)],
                                           [("OrvellePgxParser-1.3", plain("1.3"))]],
    "an egg-info": [[("OrvellePgxParser-1.4", "Version: 1.4\n", "egg-info", "PKG-INFO")]],
    "not installed": [[("other-1.0", plain("1.0"))], []],
}


def installed_by_metadata():
    try:
        return metadata.version(NAME)
    except metadata.PackageNotFoundError:
        return _version.UNKNOWN


# From 3.14 importlib.metadata warns where a METADATA file has no Version; the answer is the same.
@pytest.mark.filterwarnings("ignore:Implicit None on return values:DeprecationWarning")
@pytest.mark.parametrize("layout", LAYOUTS.values(), ids=LAYOUTS.keys())
def test_agrees_with_importlib_metadata(tmp_path, monkeypatch, layout):
    entries = []
    for index, infos in enumerate(layout):
        folder = tmp_path / f"entry{index}"
        folder.mkdir()
        for info in infos:
            dist_info(folder, *info)
        entries.append(str(folder))
    monkeypatch.setattr("sys.path", [str(tmp_path / "missing"), *entries])
    assert _version.installed_version() == installed_by_metadata()


def test_a_zip_archive_on_the_path_is_read_as_importlib_metadata_reads_it(tmp_path, monkeypatch):
    archive = tmp_path / "bundle.zip"
    with zipfile.ZipFile(archive, "w") as bundle:
        bundle.writestr("OrvellePgxParser-2.5.dist-info/METADATA", plain("2.5"))
    later = tmp_path / "later"
    dist_info(later, "OrvellePgxParser-2.6", plain("2.6"))
    monkeypatch.setattr("sys.path", [str(archive), str(later)])
    assert _version.installed_version() == installed_by_metadata() == "2.5"


def test_a_finder_that_lists_distributions_of_its_own_is_asked(tmp_path, monkeypatch):
    class Finder:
        @staticmethod
        def find_distributions(context=None):
            return iter([metadata.PathDistribution(dist_info(tmp_path, "x-3.5", plain("3.5")))])

    monkeypatch.setattr("sys.meta_path", [Finder(), *__import__("sys").meta_path])
    monkeypatch.setattr("sys.path", [])
    assert _version.installed_version() == "3.5"


def test_the_installed_package_reports_its_distribution_version():
    assert __version__ == metadata.version(NAME)
