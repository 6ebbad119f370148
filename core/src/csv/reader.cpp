// core/src/csv/reader.cpp: the host's non-strict csv reader state machine over a whole text.
//
// The host feeds its parser one physical line at a time ("\n", "\r" or "\r\n" ends one) and
// then marks the line's end. Outside quotes the line end characters themselves already close
// the record, and inside quotes the mark is ignored, so the text can be scanned as one piece.
// The scan is byte-wise: delimiters, quotes and line ends are ASCII, and no UTF-8 sequence
// holds an ASCII byte. Characters are counted only for fields whose bytes could pass the limit.
#include "orvelle/csv/reader.h"

#include "orvelle/errors.h"
#include "orvelle/host.h"
#include "orvelle/text/utf8.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace orvelle::csv {
namespace {

constexpr const char *FIELD_TOO_LARGE = "field larger than field limit (131072)";
constexpr const char *NUL_IN_LINE = "line contains NUL";

bool is_line_end(char c) noexcept { return c == '\r' || c == '\n'; }

constexpr std::uint64_t ONE_BYTES = 0x0101010101010101u;
constexpr std::uint64_t CR_BYTES = ONE_BYTES * '\r';
constexpr std::uint64_t LF_BYTES = ONE_BYTES * '\n';

// The high bit of each zero byte of `word` set, and possibly of bytes above one.
constexpr std::uint64_t zero_bytes(std::uint64_t word) noexcept {
  return (word - ONE_BYTES) & ~word & (ONE_BYTES << 7);
}

/// The field being filled from slices of the text, held to the host's size limit.
class FieldBuilder {
public:
  explicit FieldBuilder(std::string &out) : out_(out) { out_.clear(); }

  /// Appends text[from, to). Returns the text offset of the first character beyond the
  /// limit, or npos while the field stays within it.
  std::size_t append(std::string_view text, std::size_t from, std::size_t to) {
    out_.append(text.data() + from, to - from);
    if (out_.size() <= FIELD_SIZE_LIMIT)
      return std::string::npos;
    std::string_view piece = text.substr(from, to - from);
    chars_ += text::count_code_points(
        std::string_view(out_).substr(counted_, out_.size() - piece.size() - counted_));
    std::size_t piece_chars = text::count_code_points(piece);
    if (chars_ + piece_chars > FIELD_SIZE_LIMIT)
      return from + text::prefix_bytes(piece, FIELD_SIZE_LIMIT - chars_);
    chars_ += piece_chars;
    counted_ = out_.size();
    return std::string::npos;
  }

private:
  std::string &out_;
  std::size_t counted_ = 0; ///< bytes of out_ whose characters are in chars_
  std::size_t chars_ = 0;
};

} // namespace

Reader::Reader(std::string_view text, Dialect dialect)
    : text_(text), dialect_(dialect), nul_refused_(host::current().csv_refuses_nul()),
      delimiter_bytes_(ONE_BYTES * static_cast<unsigned char>(dialect.delimiter)) {
  for (char c : {dialect.delimiter, '\r', '\n'})
    ends_unquoted_run_[static_cast<unsigned char>(c)] = true;
  if (nul_refused_)
    ends_unquoted_run_[0] = true;
}

void Row::clear() noexcept {
  fields_.clear();
  rebuilt_used_ = 0;
}

std::string &Row::rebuilt_field() {
  if (rebuilt_used_ == rebuilt_.size())
    rebuilt_.emplace_back();
  std::string &field = rebuilt_[rebuilt_used_++];
  field.clear();
  return field;
}

bool Reader::next(Row &row) {
  row.clear();
  if (pos_ >= text_.size())
    return false;
  if (is_line_end(text_[pos_])) { // a blank line
    pos_ = after_line_end(pos_);
    return true;
  }
  while (read_field(row) == FieldEnd::delimiter) {
  }
  return true;
}

bool Reader::next(std::vector<std::string> &row) {
  if (!next(copied_))
    return false;
  row.resize(copied_.size());
  for (std::size_t i = 0; i < row.size(); ++i)
    row[i].assign(copied_[i]);
  return true;
}

Reader::FieldEnd Reader::read_field(Row &row) {
  const std::string_view text = text_;
  std::size_t pos = pos_;
  if (dialect_.skipinitialspace)
    while (pos < text.size() && text[pos] == ' ')
      ++pos;
  if (pos < text.size() && text[pos] == dialect_.quotechar && text[pos] != dialect_.delimiter &&
      !is_line_end(text[pos])) {
    std::string &field = row.rebuilt_field();
    const FieldEnd end = read_quoted(pos + 1, field);
    row.fields_.push_back(field);
    return end;
  }
  // Unquoted: the field is the text up to the delimiter, a line end or the text's end.
  const std::size_t end = unquoted_run_end(pos);
  check_field_size(pos, end);
  row.fields_.push_back(text.substr(pos, end - pos));
  return ends_run_at(end);
}

// A field that opens with a quote, from `pos` just after it, rebuilt into `out`.
Reader::FieldEnd Reader::read_quoted(std::size_t pos, std::string &out) {
  const std::string_view text = text_;
  const std::size_t size = text.size();
  FieldBuilder field(out);
  auto add = [&](std::size_t from, std::size_t to) {
    if (std::size_t over = field.append(text, from, to); over != std::string::npos)
      fail(over, FIELD_TOO_LARGE);
  };

  for (;;) { // inside quotes: line ends are kept, the text's end closes the field
    const void *found = std::memchr(text.data() + pos, dialect_.quotechar, size - pos);
    std::size_t quote = found ? static_cast<const char *>(found) - text.data() : size;
    if (nul_refused_)
      if (const void *nul = std::memchr(text.data() + pos, '\0', quote - pos)) {
        std::size_t at = static_cast<const char *>(nul) - text.data();
        add(pos, at);
        fail(at, NUL_IN_LINE);
      }
    add(pos, quote);
    if (quote == size)
      return ends_at(size, FieldEnd::input);
    pos = quote + 1;
    if (!dialect_.doublequote)
      break; // the quoted part is over; what follows is taken as it comes
    if (pos == size)
      return ends_at(pos, FieldEnd::input);
    char c = text[pos];
    if (c == dialect_.quotechar) { // a doubled quote stands for one
      add(pos, pos + 1);
      ++pos;
      continue;
    }
    if (c == dialect_.delimiter)
      return ends_at(pos, FieldEnd::delimiter);
    if (is_line_end(c))
      return ends_at(pos, FieldEnd::record);
    break; // any other character after the closing quote joins the field
  }

  // The rest after the quoted part: quotes here are ordinary characters.
  std::size_t end = unquoted_run_end(pos);
  add(pos, end);
  return ends_run_at(end);
}

Reader::FieldEnd Reader::ends_at(std::size_t at, FieldEnd how) noexcept {
  pos_ = how == FieldEnd::record ? after_line_end(at) : how == FieldEnd::delimiter ? at + 1 : at;
  return how;
}

// Where an unquoted run stops: at the delimiter, a line end, the text's end, or a refused NUL.
Reader::FieldEnd Reader::ends_run_at(std::size_t end) {
  if (end == text_.size())
    return ends_at(end, FieldEnd::input);
  const char c = text_[end];
  if (c == dialect_.delimiter)
    return ends_at(end, FieldEnd::delimiter);
  if (c == '\0')
    fail(end, NUL_IN_LINE);
  return ends_at(end, FieldEnd::record);
}

void Reader::check_field_size(std::size_t from, std::size_t to) {
  if (to - from <= FIELD_SIZE_LIMIT) // no more characters than bytes
    return;
  const std::string_view field = text_.substr(from, to - from);
  if (text::count_code_points(field) > FIELD_SIZE_LIMIT)
    fail(from + text::prefix_bytes(field, FIELD_SIZE_LIMIT), FIELD_TOO_LARGE);
}

// Eight bytes at a time where words are little-endian, then byte by byte: memchr looks for
// one byte only, and no library searches for three or four at once.
std::size_t Reader::unquoted_run_end(std::size_t pos) const noexcept {
  const char *data = text_.data();
  const std::size_t size = text_.size();
  if constexpr (std::endian::native == std::endian::little) {
    for (; pos + sizeof(std::uint64_t) <= size; pos += sizeof(std::uint64_t)) {
      std::uint64_t word;
      std::memcpy(&word, data + pos, sizeof word);
      std::uint64_t found = zero_bytes(word ^ delimiter_bytes_) | zero_bytes(word ^ CR_BYTES) |
                            zero_bytes(word ^ LF_BYTES) | (nul_refused_ ? zero_bytes(word) : 0);
      if (found != 0) // the lowest flag is exact; flags above a zero byte may be borrows
        return pos + static_cast<std::size_t>(std::countr_zero(found)) / 8;
    }
  }
  const auto *bytes = reinterpret_cast<const unsigned char *>(data);
  while (pos < size && !ends_unquoted_run_[bytes[pos]])
    ++pos;
  return pos;
}

std::size_t Reader::after_line_end(std::size_t pos) const noexcept {
  return text_[pos] == '\r' && pos + 1 < text_.size() && text_[pos + 1] == '\n' ? pos + 2 : pos + 1;
}

void Reader::fail(std::size_t at, const char *message) {
  // The host drops the rest of the physical line in fault and carries on after it.
  std::size_t end = text_.find_first_of("\r\n", at);
  pos_ = end == std::string_view::npos ? text_.size() : after_line_end(end);
  throw CsvError(message);
}

} // namespace orvelle::csv
