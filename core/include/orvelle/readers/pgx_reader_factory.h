// orvelle/readers/pgx_reader_factory.h: picks the reader for one input file: by its name
// first, then by its content.
#pragma once

#include "orvelle/readers/ipgx_reader.h"

#include <memory>
#include <string>

namespace orvelle {

class PgxReaderFactory {
public:
  PgxReaderFactory() = delete;

  /// A new, not yet run reader for `file_path`, by the rules of the readers' table
  /// (readers/reader_table.h): ".csv" is a user table; ".tsv" a PyPGx table when its header
  /// says so, else a pbStarPhase table; a ".json" name that mentions "pharmcat" with "report"
  /// or "phenotype", or "starphase", picks that reader, and any other JSON is sniffed and
  /// read as a user table when unrecognised. Throws ValueError
  /// "Unsupported file type: <path>" for other names, and the reader constructor's errors.
  static std::unique_ptr<IPgxReader> reader_for(const std::string &file_path);

  /// True when the file's first tab-separated row names both PyPGx columns. A file that
  /// cannot be opened or read as CSV is logged at debug level and is not one.
  static bool is_pypgx_tsv(const std::string &file_path);

  /// The reader that the top-level keys of a JSON file call for, or nullptr when they call
  /// for none or the file cannot be opened or parsed (logged at debug level).
  static std::unique_ptr<IPgxReader> sniff(const std::string &file_path);
};

} // namespace orvelle
