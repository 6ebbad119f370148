// core/src/json/fast_parser.cpp: simdjson's DOM, copied into an arena tree or walked on demand.
#include "fast_parser.h"

#include "arena.h"
#include "members.h"
#include "on_demand.h"
#include "orvelle/json/parse.h"

#include <simdjson.h>

#include <memory>
#include <vector>

namespace orvelle::json {
namespace {

namespace dom = simdjson::dom;

// simdjson counts the root as a level; deeper nesting is the host parser's to report.
constexpr std::size_t kSimdjsonDepth = max_depth + 1;

// One parser per thread: its buffers grow to the largest document and are reused after.
dom::parser *thread_parser(std::size_t size) {
  thread_local dom::parser parser;
  if (parser.max_depth() != kSimdjsonDepth &&
      parser.allocate(size, kSimdjsonDepth) != simdjson::SUCCESS)
    return nullptr;
  return &parser;
}

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
  default:
    return scalar_value(element, arena);
  }
}

// Parsed documents let go by their trees are kept per thread for the next parse, which then
// writes into memory already mapped (as the arena keeps its blocks).
constexpr std::size_t kKeptDocuments = 2;

struct KeptDocuments {
  std::vector<std::unique_ptr<dom::document>> documents;
  bool &torn_down;
  ~KeptDocuments() { torn_down = true; }
};

// This thread's kept documents, or nullptr once its storage is being torn down.
KeptDocuments *kept_documents() {
  thread_local bool torn_down = false; // trivially destructible: readable to the very end
  if (torn_down)
    return nullptr;
  thread_local KeptDocuments kept{{}, torn_down};
  return &kept;
}

std::unique_ptr<dom::document> take_document() {
  KeptDocuments *kept = kept_documents();
  if (kept == nullptr || kept->documents.empty())
    return std::make_unique<dom::document>();
  std::unique_ptr<dom::document> document = std::move(kept->documents.back());
  kept->documents.pop_back();
  return document;
}

void give_back(void *held) {
  std::unique_ptr<dom::document> document(static_cast<dom::document *>(held));
  KeptDocuments *kept = kept_documents();
  if (kept != nullptr && kept->documents.size() < kKeptDocuments)
    kept->documents.push_back(std::move(document));
}

} // namespace

std::optional<Document> parse_fast(const std::string &text) {
  dom::parser *parser = thread_parser(text.size());
  // The text's spare capacity serves as simdjson's padding when there is enough of it; the
  // std::string overload copies the text otherwise. (A padded_string_view would not: this
  // simdjson then reads in place whatever the padding, past the end of a tight allocation.)
  dom::element root;
  if (parser == nullptr || parser->parse(text).get(root) != simdjson::SUCCESS)
    return std::nullopt;
  auto arena = std::make_unique<Arena>();
  Value value = copy(root, *arena);
  return Document(std::move(arena), value);
}

std::optional<Document> parse_fast_on_demand(const std::string &text) {
  dom::parser *parser = thread_parser(text.size());
  if (parser == nullptr)
    return std::nullopt;
  std::unique_ptr<dom::document> parsed = take_document();
  dom::element root;
  if (parser->parse_into_document(*parsed, text).get(root) != simdjson::SUCCESS) {
    give_back(parsed.release());
    return std::nullopt;
  }
  auto arena = std::make_unique<Arena>();
  Value value = deferred_value(root, *arena);
  arena->hold({parsed.release(), give_back});
  return Document(std::move(arena), value);
}

} // namespace orvelle::json
