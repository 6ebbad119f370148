// core/src/json/fast_parser.cpp: simdjson's DOM copied into an arena tree.
#include "fast_parser.h"

#include "arena.h"
#include "members.h"
#include "orvelle/json/parse.h"

#include <simdjson.h>

#include <charconv>
#include <memory>

namespace orvelle::json {
namespace {

namespace dom = simdjson::dom;

// simdjson counts the root as a level; deeper nesting is the host parser's to report.
constexpr std::size_t kSimdjsonDepth = max_depth + 1;

// Recursion is bounded by the parser's depth limit.
Value copy(dom::element element, Arena &arena) {
  switch (element.type()) {
  case dom::element_type::ARRAY: {
    dom::array array = element.get_array().value_unsafe();
    const std::size_t count = array.size();
    Value *items = arena.make_array<Value>(count);
    std::size_t k = 0;
    for (dom::element item : array)
      items[k++] = copy(item, arena);
    return Value::array({items, count});
  }
  case dom::element_type::OBJECT: {
    dom::object object = element.get_object().value_unsafe();
    const std::size_t count = object.size();
    Member *members = arena.make_array<Member>(count);
    std::size_t k = 0;
    for (dom::key_value_pair field : object)
      members[k++] = {arena.copy_text(field.key), copy(field.value, arena)};
    return Value::object({members, keep_unique_members({members, count})});
  }
  case dom::element_type::STRING:
    return Value::string(arena.copy_text(element.get_string().value_unsafe()));
  case dom::element_type::INT64:
    return Value::integer(element.get_int64().value_unsafe());
  case dom::element_type::UINT64: { // beyond int64: kept as digits, like any larger integer
    char digits[24];
    auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, element.get_uint64().value_unsafe());
    return Value::big_integer(arena.copy_text({digits, static_cast<std::size_t>(end - digits)}));
  }
  case dom::element_type::DOUBLE:
    // simdjson reads "-0" as the integer 0, so a real here was written as one, -0.0 included.
    return Value::real(element.get_double().value_unsafe());
  case dom::element_type::BOOL:
    return Value::boolean(element.get_bool().value_unsafe());
  case dom::element_type::NULL_VALUE:
    break;
  }
  return Value();
}

} // namespace

std::optional<Document> parse_fast(const std::string &text) {
  // One parser per thread: its buffers grow to the largest document and are reused after.
  thread_local dom::parser parser;
  if (parser.max_depth() != kSimdjsonDepth &&
      parser.allocate(text.size(), kSimdjsonDepth) != simdjson::SUCCESS)
    return std::nullopt;
  // The text's spare capacity serves as simdjson's padding when there is enough of it.
  simdjson::padded_string_view padded(text);
  dom::element root;
  if (parser.parse(padded).get(root) != simdjson::SUCCESS)
    return std::nullopt;
  auto arena = std::make_unique<Arena>();
  Value value = copy(root, *arena);
  return Document(std::move(arena), value);
}

} // namespace orvelle::json
