// core/src/normalize/table_members.h: reading the members of one mapping table with the
// normaliser's defaults: a missing member or one that counts as false takes the default, and
// a member of the wrong shape is kept as a failure naming table and member.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/normalize/resolved.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvelle::normalize {

/// "mapping table 'gene_rules'", and with a member "mapping table 'gene_rules': 'hla_genes'":
/// the place a message is about.
std::string table_place(std::string_view table);
std::string member_place(std::string_view table, std::string_view member);

/// "<place> must be <expected>, not <the value's host repr>".
std::string wrong_shape(const std::string &place, std::string_view expected,
                        const json::Value &value);

/// The text of a term found in `table` for `key` of `gene`. Callers deal with null (a term
/// without an Orvelle term yet) first; any other value that is not a text throws ValueError.
std::string_view term_text(const json::Value &term, std::string_view table, std::string_view gene,
                           std::string_view key);

class TableMembers {
public:
  TableMembers(std::string_view table, const json::Value &root) : table_(table), root_(root) {}

  /// Member `key`: `fallback` when missing or false, else `convert(value)`, which returns
  /// nullopt for a value that is not `expected`. A table that is not an object fails every
  /// member.
  template <typename T, typename Convert>
  Resolved<T> resolve(std::string_view key, T fallback, std::string_view expected,
                      Convert convert) const {
    if (!root_.is_object())
      return Resolved<T>::failure(wrong_shape(table_place(table_), "an object", root_));
    const json::Value *value = json::given(root_, key);
    if (value == nullptr)
      return Resolved<T>(std::move(fallback));
    std::optional<T> converted = convert(*value);
    if (!converted)
      return Resolved<T>::failure(wrong_shape(member_place(table_, key), expected, *value));
    return Resolved<T>(std::move(*converted));
  }

  std::string_view table() const noexcept { return table_; }

private:
  std::string_view table_;
  const json::Value &root_;
};

} // namespace orvelle::normalize
