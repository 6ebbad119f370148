// core/src/json/numbers.cpp: number tokens to the values the host makes of them.
#include "numbers.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace orvelle::json {
namespace {

// Whether a real token that does not fit a double lies above it (else it is too close to 0):
// the decimal exponent of its first significant digit decides, and the token has one, or
// it would have read as zero.
bool overflows(std::string_view token) {
  std::size_t mark = token.find_first_of("eE");
  std::string_view mantissa = token.substr(0, mark);
  long long exponent = 0;
  if (mark != std::string_view::npos) {
    std::string_view digits = token.substr(mark + 1);
    bool negative = digits.front() == '-';
    if (digits.front() == '-' || digits.front() == '+')
      digits.remove_prefix(1);
    for (char digit : digits) // saturates far beyond any double's range
      exponent = exponent < 100000000 ? exponent * 10 + (digit - '0') : exponent;
    exponent = negative ? -exponent : exponent;
  }
  if (mantissa.front() == '-')
    mantissa.remove_prefix(1);
  std::size_t point = mantissa.find('.');
  std::size_t whole_digits = point == std::string_view::npos ? mantissa.size() : point;
  std::size_t first = mantissa.find_first_not_of("0.");
  long long magnitude = first < whole_digits ? static_cast<long long>(whole_digits - 1 - first)
                                             : -static_cast<long long>(first - whole_digits);
  return magnitude + exponent >= 0;
}

} // namespace

Value integer_value(std::string_view token, Arena &arena) {
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error == std::errc())
    return Value::integer(value);
  return Value::big_integer(arena.copy_text(token));
}

double real_value(std::string_view token) {
  double value = 0;
  auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error == std::errc::result_out_of_range) {
    bool negative = token.front() == '-';
    value = overflows(token) ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
  }
  return value;
}

} // namespace orvelle::json
