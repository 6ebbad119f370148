// core/src/readers/pypgx_archive.h: the PyPGx results archive (*-results.zip): one folder
// holding metadata.txt (key=value lines) and the results table data.tsv.
#pragma once

#include <optional>
#include <string>

namespace orvelle {

struct PyPgxArchive {
  std::string table;                   ///< data.tsv, decoded
  std::optional<std::string> gene;     ///< metadata.txt's Gene
  std::optional<std::string> assembly; ///< metadata.txt's Assembly
};

/// The archive at `path`. Throws ValueError "<path>: not a recognised caller output ..." for an
/// archive without metadata.txt and data.tsv in its folder, or of another semantic type than
/// SampleTable[Results]; ValueError for bytes that are no zip archive or inflate too far; and
/// as reading the file or decoding UTF-8 does.
PyPgxArchive read_pypgx_archive(const std::string &path);

/// For a folder scan: why the archive at `path` holds no calls, when it is a PyPGx archive of
/// another semantic type (a pipeline's folder holds genotypes.zip, cnv-calls.zip ... beside
/// results.zip); nullopt for a results archive and for anything it cannot tell.
std::optional<std::string> pypgx_archive_passed_over(const std::string &path);

} // namespace orvelle
