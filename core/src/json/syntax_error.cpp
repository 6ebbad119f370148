// core/src/json/syntax_error.cpp: the host's description of a refused text, at its character
// position.
#include "syntax_error.h"

#include "orvelle/errors.h"
#include "orvelle/host.h"
#include "orvelle/text/utf8.h"

#include <algorithm>
#include <optional>
#include <string>

namespace orvelle::json {

void throw_syntax_error(std::string_view text, std::size_t offset, std::string_view msg) {
  // Only on failure, so asking the host costs nothing a valid document pays.
  std::optional<host::JsonFault> fault;
  if (msg != message::too_deep)
    fault = host::current().describe_json_fault(text);
  if (fault) {
    offset = text::prefix_bytes(text, fault->pos);
    msg = fault->msg;
  }
  std::string_view before = text.substr(0, offset);
  std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  std::size_t line_start = before.rfind('\n');
  line_start = line_start == std::string_view::npos ? 0 : line_start + 1;
  std::size_t pos = text::count_code_points(before);
  std::size_t column = 1 + text::count_code_points(before.substr(line_start));
  throw SyntaxError(std::string(msg), pos, line, column);
}

} // namespace orvelle::json
