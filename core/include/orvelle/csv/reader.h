// orvelle/csv/reader.h: rows of a decoded text by the rules of the host's `csv` module
// (reader opened with newline="", strict off, QUOTE_MINIMAL, no escape character).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvelle::csv {

/// The reader's settings; all characters are ASCII.
struct Dialect {
  char delimiter = ',';
  char quotechar = '"';
  bool doublequote = true;
  bool skipinitialspace = false;

  bool operator==(const Dialect &) const = default;
};

/// The host's default field size limit, in characters.
inline constexpr std::size_t FIELD_SIZE_LIMIT = 131072;

/// Whether NUL characters are refused with "line contains NUL", as hosts before 3.11 do;
/// later hosts read NUL as any other character (the default here). The host wiring sets this
/// once at start-up; a Reader keeps the value current when it was made.
void set_nul_refused(bool refused) noexcept;
bool nul_refused() noexcept;

/// Reads rows one by one from a WTF-8 text (the decoded file, line ends untranslated), which
/// is not copied and must outlive the reader.
/// Throws CsvError (orvelle/errors.h) with the host's message, e.g. for an oversized field;
/// like the host, the next call then resumes at the line after the one in fault.
class Reader {
public:
  Reader(std::string_view text, Dialect dialect);

  /// Fills `row` with the next row's fields; false at the end. A blank line gives an empty row.
  /// The strings already in `row` are reused, so passing the same vector saves allocations.
  bool next(std::vector<std::string> &row);

private:
  enum class FieldEnd { delimiter, record, input };

  FieldEnd read_field(std::string &out);
  std::size_t unquoted_run_end(std::size_t from) const noexcept;
  std::size_t after_line_end(std::size_t pos) const noexcept;
  [[noreturn]] void fail(std::size_t at, const char *message);

  std::string_view text_;
  std::size_t pos_ = 0;
  Dialect dialect_;
  bool nul_refused_;
  /// The bytes that end an unquoted run: the delimiter, CR, LF (and NUL where refused).
  std::array<bool, 256> ends_unquoted_run_{};
};

/// One row of a header-mapped table, as the host's csv.DictReader builds it.
struct DictRow {
  /// Header names with their values in the row, in header order; a repeated name appears
  /// once, at its first position, with the value of its last position. An absent value: that
  /// position lies beyond the row's end.
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
  /// A distinct header name and the last header position that carries it.
  struct Column {
    std::string name;
    std::size_t last_position;
  };

  Reader &reader_;
  bool header_read_ = false;
  std::optional<std::vector<std::string>> fieldnames_;
  std::vector<Column> columns_;
  std::vector<std::string> buffer_;
};

} // namespace orvelle::csv
