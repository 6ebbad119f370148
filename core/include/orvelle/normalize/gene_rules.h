// orvelle/normalize/gene_rules.h: the structural rules of the gene-rules table, resolved
// once into the forms the normaliser tests against on every call.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/normalize/caller_rules.h"
#include "orvelle/normalize/resolved.h"
#include "orvelle/normalize/text_set.h"

#include <cstdint>
#include <string_view>

namespace orvelle::normalize {

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
};

} // namespace orvelle::normalize
