// orvelle/csv/reader.h: rows of a decoded text by the rules of the host's `csv` module
// (reader opened with newline="", strict off, QUOTE_MINIMAL, no escape character).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvelle::csv {

struct Dialect {
  char delimiter = ',';
  char quotechar = '"';
  bool doublequote = true;
  bool skipinitialspace = false;
};

/// The host's default field size limit, in characters.
inline constexpr std::size_t FIELD_SIZE_LIMIT = 131072;

/// Reads rows one by one from a WTF-8 text (the decoded file, line ends untranslated).
/// Throws CsvError (orvelle/errors.h) with the host's message, e.g. for an oversized field.
class Reader {
public:
  Reader(std::string_view text, Dialect dialect);

  /// Fills `row` with the next row's fields; false at the end. A blank line gives an empty row.
  bool next(std::vector<std::string> &row);

private:
  std::string_view text_;
  std::size_t pos_ = 0;
  Dialect dialect_;
};

/// One row of a header-mapped table, as the host's csv.DictReader builds it.
struct DictRow {
  /// Header names with their values in the row, in header order; a repeated name appears
  /// once, at its first position. An absent value: the row was shorter than the header.
  std::vector<std::pair<std::string, std::optional<std::string>>> cells;
  /// Cells beyond the header's width (gathered under no name); empty when there were none.
  std::vector<std::string> rest;
  bool has_rest = false;
};

/// csv.DictReader over a Reader: the first row is the header; blank rows are passed over.
class DictReader {
public:
  explicit DictReader(Reader &reader);

  /// The header row, or nullopt when the text has no row at all.
  const std::optional<std::vector<std::string>> &fieldnames();
  bool next(DictRow &row);

private:
  Reader &reader_;
  bool header_read_ = false;
  std::optional<std::vector<std::string>> fieldnames_;
  std::vector<std::string> buffer_;
};

} // namespace orvelle::csv
