// fuzz/fuzz_json_parse.cpp: the JSON parser on any UTF-8 text, in memory and as a reader
// loads a file, with the promises of its errors checked; and its two readings held against
// each other: whatever simdjson accepts, the host's reading (which large texts take) accepts
// with the same tree; and the trees built on demand (as readers load files) held against the
// whole tree, walked in full and looked up member by member.
#include "fuzz_support.h"

#include "orvelle/testing/json_same.h"

#include "../core/src/json/fast_parser.h"
#include "../core/src/json/host_parser.h"
#include "orvelle/io/file.h"
#include "orvelle/json/parse.h"
#include "orvelle/readers/ipgx_reader.h"
#include "orvelle/text/utf8.h"

using namespace orvelle;

namespace {

// The smallest reader: load_json is what is under test.
class DocumentReader : public IPgxReader {
public:
  using IPgxReader::IPgxReader;
  std::vector<RawCall> parse() override { return {}; }
};

// A syntax error points into the text it was found in, as the host counts: in characters, at
// most one past the end, and at a line and column that exist.
void check_position(const json::SyntaxError &error, std::string_view text) {
  fuzz::check(error.pos() <= text::count_code_points(text), "an error position past the end");
  fuzz::check(error.line() >= 1 && error.column() >= 1, "an error line or column below 1");
  fuzz::check(error.column() <= error.pos() + 1, "an error column beyond its position");
}

// Every member of `whole` looked up in `lazy` before anything else is asked of it, at every
// level: an object's first lookup reads it in place, the next ones build it.
bool same_by_lookup(const json::Value &lazy, const json::Value &whole) {
  if (whole.is_object()) {
    if (lazy.find("\x01 no such name") != nullptr)
      return false;
    for (const json::Member &member : whole.members()) {
      const json::Value *found = lazy.find(member.key);
      if (found == nullptr || !same_by_lookup(*found, member.value))
        return false;
    }
    return json::same_tree(lazy, whole);
  }
  if (whole.is_array()) {
    if (!lazy.is_array() || lazy.size() != whole.size())
      return false;
    for (std::size_t i = 0; i < whole.size(); ++i)
      if (!same_by_lookup(lazy.items()[i], whole.items()[i]))
        return false;
    return true;
  }
  return json::same_tree(lazy, whole);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  if (!fuzz::allowing_content_errors([&] { text::validate_utf8(text); }))
    return 0;
  bool parsed = true;
  try {
    const json::Document whole = json::parse(text);
    fuzz::check(json::same_tree(json::parse_on_demand(text).root(), whole.root()),
                "the tree built on demand differs from the whole tree");
    fuzz::check(same_by_lookup(json::parse_on_demand(text).root(), whole.root()),
                "a lookup in the tree built on demand differs from the whole tree");
  } catch (const json::SyntaxError &error) {
    parsed = false;
    check_position(error, text);
  }
  std::string translated = text;
  io::translate_newlines(translated);

  if (std::optional<json::Document> fast = json::parse_fast(text)) {
    fuzz::check(parsed, "simdjson accepts a text the parser refuses");
    try {
      fuzz::check(json::same_tree(fast->root(), json::parse_as_host(text).root()),
                  "simdjson and the host's reading disagree");
    } catch (const json::SyntaxError &) {
      fuzz::fail("simdjson accepts a text the host's reading refuses");
    }
  }

  DocumentReader reader(fuzz::write_input("document.json", data, size));
  try {
    const json::Document loaded = reader.load_json();
    fuzz::check(parsed, "a file parsed that the text did not");
    fuzz::check(json::same_tree(loaded.root(), json::parse(translated).root()),
                "a file loads otherwise than its text, newlines translated, parses");
  } catch (const json::SyntaxError &) {
    fuzz::fail("a file parsed that its text, newlines translated, did not");
  } catch (const InvalidJsonFile &error) {
    fuzz::check(!parsed, "a file refused that the text parsed");
    check_position(error.cause(), error.text());
  }
  return 0;
}
