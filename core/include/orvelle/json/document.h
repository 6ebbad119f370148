// orvelle/json/document.h: owners of value trees: a parsed Document, and a builder for trees
// made in code (from host objects, or rows a reader assembles).
#pragma once

#include "orvelle/json/value.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace orvelle::json {

class Arena;

/// Owns every value, text and member of one tree; moving it keeps all values valid.
class Document {
public:
  Document();
  Document(std::unique_ptr<Arena> arena, Value root) noexcept;
  Document(Document &&) noexcept;
  Document &operator=(Document &&) noexcept;
  ~Document();

  const Value &root() const noexcept { return root_; }

private:
  std::unique_ptr<Arena> arena_;
  Value root_;
};

/// Builds a tree bottom-up. Every text and span passed in is copied into the builder's own
/// storage, so callers may pass temporaries.
class DocumentBuilder {
public:
  DocumentBuilder();
  ~DocumentBuilder();

  Value string(std::string_view text);
  Value big_integer(std::string_view digits);
  Value array(std::span<const Value> items);
  /// Members in order; a repeated key keeps its first position and its last value.
  Value object(std::span<const Member> members);
  /// A deep copy of `value` (from any owner) into the builder.
  Value copy(const Value &value);
  /// A key text copied into the builder, for Member::key.
  std::string_view key(std::string_view text);

  /// Hands the storage to a Document whose root is `root`; the builder is empty afterwards.
  Document finish(Value root);

private:
  std::unique_ptr<Arena> arena_;
};

} // namespace orvelle::json
