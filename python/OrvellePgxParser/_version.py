"""python/OrvellePgxParser/_version.py: the installed distribution's version.

Read the way ``importlib.metadata`` finds it: the first ``<name>-*.dist-info`` folder along
``sys.path``, its METADATA file's Version header. Importing that machinery costs more than
the rest of a command's start-up together, so the common case is read here directly; where
this reading cannot be sure to find what ``importlib.metadata`` would (another finder of
distributions, a zip archive or egg on the path, an .egg-info, an unusual METADATA), it asks
``importlib.metadata`` itself.
"""

import os
import sys

DISTRIBUTION = "OrvellePgxParser"
UNKNOWN = "0.0.0+unknown"  # when the distribution is not installed


class _Unsure(Exception):
    """The direct reading cannot tell what importlib.metadata would find."""


def installed_version(distribution: str = DISTRIBUTION) -> str:
    """The version of `distribution`, equal to ``importlib.metadata.version``; UNKNOWN when
    it is not installed. Any other failure to read the metadata propagates."""
    try:
        return _dist_info_version(distribution)
    except _Unsure:
        pass
    from importlib import metadata

    try:
        return metadata.version(distribution)
    except metadata.PackageNotFoundError:
        return UNKNOWN


def _dist_info_version(distribution):
    _only_the_path_finder_lists_distributions()
    wanted = _normalized(distribution)
    for entry in sys.path:
        if not isinstance(entry, str):
            raise _Unsure
        folder = entry or "."
        try:
            names = os.listdir(folder)
        except (OSError, ValueError):
            if os.path.isfile(folder):  # perhaps a zip archive, which metadata reads inside
                raise _Unsure from None
            continue  # missing or unreadable: metadata finds nothing there either
        for name in names:  # in listing order, as metadata takes them
            low = name.lower()
            if not low.endswith((".dist-info", ".egg-info")):
                continue
            if _normalized(low.rpartition(".")[0].partition("-")[0]) != wanted:
                continue
            if not low.endswith(".dist-info"):
                raise _Unsure
            return _metadata_version(os.path.join(folder, name, "METADATA"))
        if os.path.basename(entry).lower().endswith(".egg"):  # may hold an EGG-INFO of its own
            raise _Unsure
    return UNKNOWN


def _only_the_path_finder_lists_distributions():
    try:  # the finder behind sys.path, which importlib.machinery only re-exports
        from _frozen_importlib_external import PathFinder
    except ImportError:
        raise _Unsure from None
    if PathFinder not in sys.meta_path:
        raise _Unsure
    for finder in sys.meta_path:
        if finder is not PathFinder and getattr(finder, "find_distributions", None) is not None:
            raise _Unsure


def _normalized(name):
    """The distribution name as metadata compares it: runs of - _ . as one _, lower case."""
    for separator in "-.":
        name = name.replace(separator, "_")
    while "__" in name:
        name = name.replace("__", "_")
    return name.lower()


def _metadata_version(path):
    """The Version header of a METADATA file, where it reads plainly."""
    try:
        with open(path, encoding="utf-8") as handle:  # text mode: every line ends in "\n"
            text = handle.read()
    except (OSError, ValueError):
        raise _Unsure from None
    lines = text.partition("\n\n")[0].split("\n")  # the headers end at the first empty line
    for index, line in enumerate(lines):
        if index > 0 and line[:1] in (" ", "\t"):  # the rest of the header before
            continue
        name, colon, value = line.partition(":")
        if not colon or not name or not all("!" <= char <= "~" for char in name):
            raise _Unsure
        if name.lower() == "version":
            if index + 1 < len(lines) and lines[index + 1][:1] in (" ", "\t"):
                raise _Unsure  # a folded value
            return value.lstrip(" \t")
    raise _Unsure
