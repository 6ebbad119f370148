// orvelle/csv/reader.h: rows of a decoded text by the rules of the host's `csv` module
// (reader opened with newline="", strict off, QUOTE_MINIMAL, no escape character).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
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

/// One row's fields. A field is a view into the text, or, where quotes changed it, into
/// storage the row keeps; the views hold until the row is read into again.
class Row {
public:
  std::size_t size() const noexcept { return fields_.size(); }
  bool empty() const noexcept { return fields_.empty(); }
  std::string_view operator[](std::size_t i) const noexcept { return fields_[i]; }
  /// The field at `position`, absent where the row is shorter (as a header-mapped row has it).
  std::optional<std::string_view> at(std::size_t position) const noexcept {
    if (position < fields_.size())
      return fields_[position];
    return std::nullopt;
  }
  std::span<const std::string_view> fields() const noexcept { return fields_; }

private:
  friend class Reader;

  void clear() noexcept;
  /// Empty storage for the next field rebuilt from quoted text.
  std::string &rebuilt_field();

  std::vector<std::string_view> fields_;
  std::deque<std::string> rebuilt_; ///< a deque: growing it moves none of the earlier strings
  std::size_t rebuilt_used_ = 0;
};

/// Reads rows one by one from a WTF-8 text (the decoded file, line ends untranslated), which
/// is not copied and must outlive the reader and the rows it fills.
/// NUL characters are refused with "line contains NUL" where the installed host's reader
/// refuses them (orvelle/host.h), as the host was when the reader was made.
/// Throws CsvError (orvelle/errors.h) with the host's message, e.g. for an oversized field;
/// like the host, the next call then resumes at the line after the one in fault.
class Reader {
public:
  Reader(std::string_view text, Dialect dialect);

  /// Fills `row` with the next row's fields; false at the end. A blank line gives an empty row.
  bool next(Row &row);
  /// The same, with the fields copied into `row` (whose strings are reused).
  bool next(std::vector<std::string> &row);

private:
  enum class FieldEnd { delimiter, record, input };

  FieldEnd read_field(Row &row);
  FieldEnd read_quoted(std::size_t pos, std::string &out);
  FieldEnd ends_at(std::size_t at, FieldEnd how) noexcept;
  FieldEnd ends_run_at(std::size_t end);
  void check_field_size(std::size_t from, std::size_t to);
  std::size_t unquoted_run_end(std::size_t from) const noexcept;
  std::size_t after_line_end(std::size_t pos) const noexcept;
  [[noreturn]] void fail(std::size_t at, const char *message);

  std::string_view text_;
  std::size_t pos_ = 0;
  Dialect dialect_;
  bool nul_refused_;
  /// The bytes that end an unquoted run: the delimiter, CR, LF (and NUL where refused).
  std::array<bool, 256> ends_unquoted_run_{};
  std::uint64_t delimiter_bytes_; ///< the delimiter in every byte of a word
  Row copied_;                    ///< the row behind next(std::vector<std::string> &)
};

/// A distinct header name and the last header position that carries it, where each row holds
/// the name's value.
struct Column {
  std::string name;
  std::size_t position;
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
  /// The header's distinct names, in order of first appearance; none without a header.
  std::span<const Column> columns();

  /// The next data row's fields: a name's value is the field at its column's position, absent
  /// where the row is shorter.
  bool next(Row &row);
  /// The next data row as the host's DictReader builds it.
  bool next(DictRow &row);
  /// `row`, read by next(Row &), as the host's DictReader builds it.
  DictRow dict_row(const Row &row) const;

private:
  Reader &reader_;
  bool header_read_ = false;
  std::optional<std::vector<std::string>> fieldnames_;
  std::vector<Column> columns_;
  Row buffer_;
};

} // namespace orvelle::csv
