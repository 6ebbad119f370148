// core/src/json/on_demand.cpp: building the containers of a deferred tree, one level at a time.
#include "on_demand.h"

#include "members.h"

#include <charconv>
#include <optional>

namespace orvelle::json {
namespace {

namespace dom = simdjson::dom;

DeferredContainer &built(DeferredContainer &container) {
  if (container.is_built)
    return container;
  Arena &arena = *container.arena;
  if (container.element.type() == dom::element_type::ARRAY) {
    dom::array array = container.element.get_array().value_unsafe();
    const std::size_t count = array.size();
    Value *items = arena.make_array<Value>(count);
    std::size_t k = 0;
    for (dom::element item : array)
      items[k++] = deferred_value(item, arena);
    container.built = items;
    container.count = static_cast<std::uint32_t>(count);
  } else {
    dom::object object = container.element.get_object().value_unsafe();
    const std::size_t count = object.size();
    Member *members = arena.make_array<Member>(count);
    std::size_t k = 0;
    for (dom::key_value_pair field : object)
      members[k++] = {field.key, deferred_value(field.value, arena)};
    container.built = members;
    container.count = static_cast<std::uint32_t>(keep_unique_members({members, count}));
  }
  container.is_built = true;
  return container;
}

} // namespace

Value scalar_value(dom::element element, Arena &arena) {
  switch (element.type()) {
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
  default:
    return Value();
  }
}

Value deferred_value(dom::element element, Arena &arena) {
  switch (element.type()) {
  case dom::element_type::ARRAY: {
    const auto count = static_cast<std::uint32_t>(element.get_array().value_unsafe().size());
    return Value::deferred(Kind::array, count, arena.make<DeferredContainer>(element, &arena));
  }
  case dom::element_type::OBJECT: {
    const auto count = static_cast<std::uint32_t>(element.get_object().value_unsafe().size());
    return Value::deferred(Kind::object, count, arena.make<DeferredContainer>(element, &arena));
  }
  case dom::element_type::STRING:
    return Value::string(element.get_string().value_unsafe());
  default:
    return scalar_value(element, arena);
  }
}

std::span<const Value> Value::deferred_items() const {
  DeferredContainer &container = built(*container_);
  if (kind_ != Kind::array)
    return {};
  return {static_cast<const Value *>(container.built), container.count};
}

std::span<const Member> Value::deferred_members() const {
  DeferredContainer &container = built(*container_);
  if (kind_ != Kind::object)
    return {};
  return {static_cast<const Member *>(container.built), container.count};
}

std::size_t Value::deferred_size() const { return built(*container_).count; }

// An object's first lookup reads the parsed object in place and makes the one value found:
// readers look at a member or two of each of many objects (a gene's hundreds of variants), and
// building every member of each cost them more than the parse. The next lookup builds it, so
// an object looked into again and again is read once.
const Value *Value::deferred_find(std::string_view key) const {
  DeferredContainer &container = *container_;
  if (container.is_built || container.looked_up) {
    for (const Member &member : deferred_members())
      if (member.key == key)
        return &member.value;
    return nullptr;
  }
  container.looked_up = true;
  dom::object object = container.element.get_object().value_unsafe();
  std::optional<dom::element> found;
  for (dom::key_value_pair field : object)
    if (field.key == key)
      found = field.value; // a repeated name: the last value counts, as when built
  if (!found)
    return nullptr;
  return container.arena->make<Value>(deferred_value(*found, *container.arena));
}

} // namespace orvelle::json
