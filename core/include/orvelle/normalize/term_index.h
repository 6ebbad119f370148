// orvelle/normalize/term_index.h: the objects of the term tables, indexed once: one object of
// terms (caller term -> Orvelle term), and a per-gene section of such objects.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/normalize/resolved.h"

#include <string_view>
#include <unordered_map>

namespace orvelle::normalize {

/// One object of terms by member name. Values are kept as they are: a null marks a term that
/// is known but has no Orvelle term yet.
class TermIndex {
public:
  TermIndex() = default;
  explicit TermIndex(const json::Value &object);

  /// The value of member `key`, or nullptr when there is no such member.
  const json::Value *find(std::string_view key) const noexcept {
    auto found = members_.find(key);
    return found == members_.end() ? nullptr : found->second;
  }

private:
  std::unordered_map<std::string_view, const json::Value *> members_;
};

/// A section that maps gene symbols to objects of terms ("genes", "alleles", ...).
class GeneSections {
public:
  GeneSections() = default;
  /// `table` and `section` name the place of `object` in messages about its entries.
  GeneSections(std::string_view table, std::string_view section, const json::Value &object);

  /// The entry of `gene`; empty when missing or false. Throws ValueError when the entry is
  /// not an object.
  const TermIndex &entry(std::string_view gene) const;

private:
  std::unordered_map<std::string_view, Resolved<TermIndex>> genes_;
};

} // namespace orvelle::normalize
