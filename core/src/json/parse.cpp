// core/src/json/parse.cpp: simdjson for the common case, the host's own rules for the rest.
#include "orvelle/json/parse.h"

#include "fast_parser.h"
#include "host_parser.h"

namespace orvelle::json {

Document parse(const std::string &text) {
  // A byte-order mark is the host's error; some simdjson versions skip it silently.
  if (!text.starts_with("\xEF\xBB\xBF"))
    if (std::optional<Document> document = parse_fast(text))
      return std::move(*document);
  return parse_as_host(text);
}

} // namespace orvelle::json
