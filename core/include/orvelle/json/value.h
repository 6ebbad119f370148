// orvelle/json/value.h: an immutable JSON value tree with the host's value model.
//
// Values live inside a Document (or a DocumentBuilder) that owns all storage; a Value is a
// 16-byte handle that is only valid while its owner lives. The model follows the host's
// `json` module: integers of any size (those beyond 64 bits are kept as their digits),
// NaN and the infinities as reals, texts that may hold lone surrogates (stored as WTF-8:
// UTF-8 in which a lone surrogate takes its 3-byte form), and objects whose members are
// unique and in document order (a repeated name keeps the last value at the first position).
//
// A parse may defer building containers until they are first looked into (parse_on_demand):
// such a value answers every question as a built one does, and builds its items or members
// on the first call that needs them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace orvelle::json {

enum class Kind : std::uint8_t { null, boolean, integer, big_integer, real, string, array, object };

struct Member;
struct DeferredContainer; // an array or object not built yet (core/src/json/on_demand.h)

class Value {
public:
  constexpr Value() noexcept : kind_(Kind::null), deferred_(false), size_(0), integer_(0) {}

  Kind kind() const noexcept { return kind_; }
  bool is_null() const noexcept { return kind_ == Kind::null; }
  bool is_bool() const noexcept { return kind_ == Kind::boolean; }
  /// True for integers of any size.
  bool is_integer() const noexcept { return kind_ == Kind::integer || kind_ == Kind::big_integer; }
  bool is_real() const noexcept { return kind_ == Kind::real; }
  bool is_string() const noexcept { return kind_ == Kind::string; }
  bool is_array() const noexcept { return kind_ == Kind::array; }
  bool is_object() const noexcept { return kind_ == Kind::object; }

  bool as_bool() const noexcept { return boolean_; }
  std::int64_t as_int() const noexcept { return integer_; } ///< Kind::integer only
  double as_real() const noexcept { return real_; }
  /// The text of a string, or the decimal digits (with sign) of a big integer.
  std::string_view as_string() const noexcept { return {text_, size_}; }
  // A deferred container is built by the first of these that needs it (which may throw
  // std::bad_alloc); the spans and pointers they return stay valid as long as the tree.
  std::span<const Value> items() const {
    return deferred_ ? deferred_items() : std::span<const Value>{items_, size_};
  }
  std::span<const Member> members() const;
  /// Number of items, members, or bytes of a text.
  std::size_t size() const { return deferred_ ? deferred_size() : size_; }

  /// The member named `key` of an object, or nullptr (also for non-objects).
  const Value *find(std::string_view key) const;

  /// The host's truth value: null, false, 0, 0.0, "", [] and {} are false.
  bool truthy() const noexcept;

  // Factories for the builders; texts and children must outlive the value.
  static constexpr Value boolean(bool b) noexcept {
    Value v;
    v.kind_ = Kind::boolean;
    v.boolean_ = b;
    return v;
  }
  static constexpr Value integer(std::int64_t i) noexcept {
    Value v;
    v.kind_ = Kind::integer;
    v.integer_ = i;
    return v;
  }
  static constexpr Value real(double d) noexcept {
    Value v;
    v.kind_ = Kind::real;
    v.real_ = d;
    return v;
  }
  static Value string(std::string_view s) noexcept { return text(Kind::string, s); }
  static Value big_integer(std::string_view digits) noexcept {
    return text(Kind::big_integer, digits);
  }
  static Value array(std::span<const Value> items) noexcept {
    Value v;
    v.kind_ = Kind::array;
    v.size_ = static_cast<std::uint32_t>(items.size());
    v.items_ = items.data();
    return v;
  }
  static Value object(std::span<const Member> members) noexcept;
  /// A container built on demand; `count` is its number of items, or of members as written
  /// (repeated names included).
  static Value deferred(Kind kind, std::uint32_t count, DeferredContainer *container) noexcept {
    Value v;
    v.kind_ = kind;
    v.deferred_ = true;
    v.size_ = count;
    v.container_ = container;
    return v;
  }

private:
  std::span<const Value> deferred_items() const;
  std::span<const Member> deferred_members() const;
  std::size_t deferred_size() const;
  const Value *deferred_find(std::string_view key) const;

  static Value text(Kind kind, std::string_view s) noexcept {
    Value v;
    v.kind_ = kind;
    v.size_ = static_cast<std::uint32_t>(s.size());
    v.text_ = s.data();
    return v;
  }

  Kind kind_;
  bool deferred_;
  std::uint32_t size_; // for a deferred object: its members as written, repeats included
  union {
    bool boolean_;
    std::int64_t integer_;
    double real_;
    const char *text_;
    const Value *items_;
    const Member *members_;
    DeferredContainer *container_;
  };
};

static_assert(sizeof(Value) == 16, "a Value is a 16-byte handle");

struct Member {
  std::string_view key;
  Value value;
};

inline std::span<const Member> Value::members() const {
  return deferred_ ? deferred_members() : std::span<const Member>{members_, size_};
}

inline Value Value::object(std::span<const Member> members) noexcept {
  Value v;
  v.kind_ = Kind::object;
  v.size_ = static_cast<std::uint32_t>(members.size());
  v.members_ = members.data();
  return v;
}

inline const Value *Value::find(std::string_view key) const {
  if (kind_ != Kind::object)
    return nullptr;
  if (deferred_)
    return deferred_find(key);
  for (const Member &m : members())
    if (m.key == key)
      return &m.value;
  return nullptr;
}

inline bool Value::truthy() const noexcept {
  switch (kind_) {
  case Kind::null:
    return false;
  case Kind::boolean:
    return boolean_;
  case Kind::integer:
    return integer_ != 0;
  case Kind::big_integer:
    return true; // beyond 64 bits, never zero
  case Kind::real:
    return real_ != 0.0; // NaN is true, as in the host
  default:
    return size_ != 0; // a deferred object with members as written has at least one
  }
}

/// A shared null, for "missing" lookups that must return a value.
inline constexpr Value null_value{};

/// The member named `key` of an object when the host would take it as given (present and
/// true, as `object.get(key)` in a truth test), or nullptr.
inline const Value *given(const Value &object, std::string_view key) {
  const Value *value = object.find(key);
  return value != nullptr && value->truthy() ? value : nullptr;
}

} // namespace orvelle::json
