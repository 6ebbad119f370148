// core/src/json/document.cpp: Document and DocumentBuilder over an Arena.
#include "orvelle/json/document.h"

#include "arena.h"
#include "members.h"

#include <vector>

namespace orvelle::json {

Document::Document() : arena_(std::make_unique<Arena>()) {}
Document::Document(std::unique_ptr<Arena> arena, Value root) noexcept
    : arena_(std::move(arena)), root_(root) {}
Document::Document(Document &&) noexcept = default;
Document &Document::operator=(Document &&) noexcept = default;
Document::~Document() = default;

DocumentBuilder::DocumentBuilder() : arena_(std::make_unique<Arena>()) {}
DocumentBuilder::~DocumentBuilder() = default;

Value DocumentBuilder::string(std::string_view text) {
  return Value::string(arena_->copy_text(text));
}

Value DocumentBuilder::big_integer(std::string_view digits) {
  return Value::big_integer(arena_->copy_text(digits));
}

Value DocumentBuilder::array(std::span<const Value> items) {
  return Value::array({arena_->copy(items.data(), items.size()), items.size()});
}

std::string_view DocumentBuilder::key(std::string_view text) { return arena_->copy_text(text); }

Value DocumentBuilder::object(std::span<const Member> members) {
  Member *stored = arena_->copy(members.data(), members.size());
  std::size_t count = keep_unique_members({stored, members.size()});
  for (Member &member : std::span(stored, count))
    member.key = arena_->copy_text(member.key);
  return Value::object({stored, count});
}

Value DocumentBuilder::copy(const Value &value) {
  switch (value.kind()) {
  case Kind::string:
    return string(value.as_string());
  case Kind::big_integer:
    return big_integer(value.as_string());
  case Kind::array: {
    std::vector<Value> items;
    items.reserve(value.size());
    for (const Value &item : value.items())
      items.push_back(copy(item));
    return array(items);
  }
  case Kind::object: {
    std::vector<Member> members;
    members.reserve(value.size());
    for (const Member &member : value.members())
      members.push_back({member.key, copy(member.value)});
    return object(members);
  }
  default:
    return value;
  }
}

Document DocumentBuilder::finish(Value root) {
  Document document(std::move(arena_), root);
  arena_ = std::make_unique<Arena>();
  return document;
}

} // namespace orvelle::json
