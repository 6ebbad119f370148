// core/src/text/unicode_db.h: per-code-point properties from the host's character database
// (tables generated at build time by core/tools/gen_unicode_tables.py).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvelle::text::unicode_db {

// The generator writes the same bit values.
enum Flag : std::uint8_t {
  space = 1 << 0,          ///< str.isspace(): what str.strip() removes
  printable = 1 << 1,      ///< str.isprintable(): what repr() keeps as it is
  decimal = 1 << 2,        ///< str.isdecimal(): re's \d
  cased = 1 << 3,          ///< cased and not case-ignorable (final-sigma rule)
  case_ignorable = 1 << 4, ///< skipped when looking for a cased neighbour of a capital sigma
  lower_long = 1 << 5,     ///< lower case is 2-3 code points (in long_mappings)
  upper_long = 1 << 6,     ///< upper case is 2-3 code points (in long_mappings)
};

/// A one-code-point mapping is a delta from the code point; a longer one (flagged *_long) is
/// an index into the long mappings.
struct CharRecord {
  std::uint8_t flags;
  std::int32_t lower;
  std::int32_t upper;
};

const CharRecord &record(char32_t c) noexcept;

inline bool has(char32_t c, Flag flag) noexcept { return (record(c).flags & flag) != 0; }

/// Appends the full lower or upper case of `c` in WTF-8 (a capital sigma lowers to the
/// non-final form; the caller decides the final one).
void append_lower(std::string &out, char32_t c);
void append_upper(std::string &out, char32_t c);

/// The Unicode version, and the "major.minor", of the interpreter the tables were generated
/// from.
std::string_view version() noexcept;
std::string_view generator_python() noexcept;

} // namespace orvelle::text::unicode_db
