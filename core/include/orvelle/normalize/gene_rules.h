// orvelle/normalize/gene_rules.h: the structural rules of the gene-rules table, resolved
// once into the forms the normaliser tests against on every call.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/normalize/caller_rules.h"
#include "orvelle/normalize/resolved.h"
#include "orvelle/normalize/text_set.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::normalize {

/// Host texts of a list rule's entries (str() of each, so a number entry reads "1").
using RuleTexts = std::vector<std::string>;

/// Each member falls back to its default when missing or false; see resolved.h for members
/// of the wrong shape. Views refer into the table, which must outlive this object.
struct GeneRules {
  explicit GeneRules(const json::Value &table);

  Resolved<TextSet> passthrough_sources;
  Resolved<TextSet> no_call_tokens;
  Resolved<TextSet> genotype_guided_genes;
  Resolved<TextSet> hla_genes;
  Resolved<TextSet> single_allele_genes;
  Resolved<bool> strip_suballele_suffix;
  /// Fields kept per HLA allele (default 2); saturated to 64 bits, which keeps every slice.
  Resolved<std::int64_t> hla_allele_fields;
  Resolved<std::string_view> hla_join_phenotypes_with; ///< default "; "
  Resolved<CallerRuleSet> caller_rules;                ///< default: no caller has any
  /// A caller's caveats (PharmCAT message rule names) that leave a call's phenotype uncertain.
  Resolved<TextSet> uncertain_phenotype_caveats;

  // The rules the driver reads when it merges calls and writes the sidecar.
  Resolved<RuleTexts> phenotype_source_preference; ///< in the table's order
  Resolved<bool> allow_source_fallback;
  Resolved<std::set<std::string, std::less<>>> recoverable_genes;
  /// passthrough_sources as the sidecar lists them: host texts, sorted.
  Resolved<RuleTexts> passthrough_source_texts;
};

} // namespace orvelle::normalize
