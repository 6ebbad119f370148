// orvelle/readers/pgx_reader_factory.h: picks the reader for one input file: by its name
// first, then by its content.
#pragma once

#include "orvelle/readers/ipgx_reader.h"

#include <memory>
#include <optional>
#include <string>

namespace orvelle {

class PgxReaderFactory {
public:
  PgxReaderFactory() = delete;

  /// A new, not yet run reader for `file_path`, by the rules of the readers' table
  /// (readers/reader_table.h): ".csv" is a user table; ".tsv" PharmCAT's calls-only report or
  /// a PyPGx table when its first rows say so, else a gene call list; ".zip" a PyPGx archive;
  /// a ".json" name that mentions "pharmcat" with "report" or "phenotype", or "starphase",
  /// picks that reader, and any other JSON is told by its content. Throws ValueError
  /// "Unsupported file type: <path>" for other names, "<path>: not a recognised caller output
  /// (expected ...)" for a JSON no reader recognises, "<path>: <reason>" for a shape refused
  /// on sight (PharmCAT's matcher output), and the reader constructor's errors.
  static std::unique_ptr<IPgxReader> reader_for(const std::string &file_path);

  /// Why a folder scan leaves the file out (a shape refused on sight, such as PharmCAT's
  /// matcher output beside its reports, or a caller's file that holds no calls, such as a PyPGx
  /// archive other than the results), or nullopt when it is read.
  static std::optional<std::string> left_out(const std::string &file_path);

  /// True when the file's first tab-separated row names both PyPGx columns. A file that
  /// cannot be opened or read as CSV is logged at debug level and is not one.
  static bool is_pypgx_tsv(const std::string &file_path);

  /// The reader that the top-level keys of a JSON file call for, or nullptr when they call
  /// for none or the file cannot be opened or parsed (logged at debug level).
  static std::unique_ptr<IPgxReader> sniff(const std::string &file_path);
};

} // namespace orvelle
