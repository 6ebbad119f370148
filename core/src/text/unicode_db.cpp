// core/src/text/unicode_db.cpp: lookups into the generated Unicode tables.
#include "unicode_db.h"

#include "orvelle/text/utf8.h"

#include "unicode_tables.inc"

namespace orvelle::text::unicode_db {
namespace {

constexpr char32_t kCodePoints = 0x110000;
constexpr CharRecord kBeyondUnicode{0, 0, 0};

void append_mapping(std::string &out, char32_t c, bool is_long, std::int32_t value) {
  if (!is_long) {
    append_code_point(out, static_cast<char32_t>(static_cast<std::int32_t>(c) + value));
    return;
  }
  for (char32_t mapped : long_mappings[value])
    if (mapped != 0)
      append_code_point(out, mapped);
}

} // namespace

const CharRecord &record(char32_t c) noexcept {
  if (c >= kCodePoints)
    return kBeyondUnicode;
  std::size_t block = block_of[c >> block_shift];
  char32_t offset = c & ((char32_t{1} << block_shift) - 1);
  return records[record_of[(block << block_shift) | offset]];
}

void append_lower(std::string &out, char32_t c) {
  const CharRecord &r = record(c);
  append_mapping(out, c, (r.flags & lower_long) != 0, r.lower);
}

void append_upper(std::string &out, char32_t c) {
  const CharRecord &r = record(c);
  append_mapping(out, c, (r.flags & upper_long) != 0, r.upper);
}

std::string_view version() noexcept { return unicode_version; }
std::string_view generator_python() noexcept { return python_version; }

} // namespace orvelle::text::unicode_db
