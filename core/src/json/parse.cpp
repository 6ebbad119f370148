// core/src/json/parse.cpp: simdjson for the common case, the host's own rules for the rest.
#include "orvelle/json/parse.h"

#include "fast_parser.h"
#include "host_parser.h"
#include "orvelle/io/file.h"
#include "orvelle/text/utf8.h"

namespace orvelle::json {

namespace {

// simdjson's DOM takes about three times the text in buffers of its own (beside the tree, when
// it is copied), and the thread keeps them for the next document. Past this size the host
// parser, which builds the tree alone and is then nearly as fast (both are bound by memory),
// reads the text.
constexpr std::size_t kFastPathLimit = std::size_t{4} << 20;

// A byte-order mark is the host's error; some simdjson versions skip it silently.
bool suits_fast_path(const std::string &text) {
  return text.size() <= kFastPathLimit && !text.starts_with("\xEF\xBB\xBF");
}

} // namespace

Document parse(const std::string &text) {
  if (suits_fast_path(text))
    if (std::optional<Document> document = parse_fast(text))
      return std::move(*document);
  return parse_as_host(text);
}

Document parse_on_demand(const std::string &text) {
  if (suits_fast_path(text))
    if (std::optional<Document> document = parse_fast_on_demand(text))
      return std::move(*document);
  return parse_as_host(text);
}

Document parse_file_text(std::string &bytes) {
  if (suits_fast_path(bytes))
    if (std::optional<Document> document = parse_fast_on_demand(bytes))
      return std::move(*document);
  text::validate_utf8(bytes);
  io::translate_newlines(bytes);
  return parse_as_host(bytes);
}

} // namespace orvelle::json
