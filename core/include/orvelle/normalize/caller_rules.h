// orvelle/normalize/caller_rules.h: the words a caller writes in place of a result (its own
// no-call diplotypes and haplotypes, and the placeholder phenotype of genes it cannot
// phenotype), per caller.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/normalize/text_set.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvelle::normalize {

struct CallerRules {
  TextSet no_call_diplotypes;     ///< this caller's "not called", compared trimmed
  TextSet no_call_haplotypes;     ///< one haplotype "not called": the diplotype is no call
  TextSet placeholder_phenotypes; ///< written for genes outside phenotyped_genes, not a result
  TextSet phenotyped_genes;       ///< the genes the caller has a phenotype method for
  /// Texts between two diplotypes that offer them as alternatives (" or "): no call.
  std::vector<std::string_view> alternative_separators;
  /// Per gene, platform terms the caller may write as they are (a hand table's "G6PD
  /// Deficient"): taken as the Activity where the phenotype table has no entry.
  std::vector<std::pair<std::string_view, TextSet>> accepted_terms;

  /// The accepted terms of `gene`, or nullptr.
  const TextSet *accepted_terms_of(std::string_view gene) const;
};

/// The gene-rules member "caller_rules": caller identifier -> CallerRules. Views refer into
/// the table, which must outlive this object.
class CallerRuleSet {
public:
  CallerRuleSet() = default;
  /// nullopt unless `table` is an object whose entries are objects of lists.
  static std::optional<CallerRuleSet> from(const json::Value &table);

  /// The rules of `source`, or nullptr when the caller has none.
  const CallerRules *find(const std::optional<std::string> &source) const;

private:
  std::vector<std::pair<std::string_view, CallerRules>> callers_;
};

} // namespace orvelle::normalize
