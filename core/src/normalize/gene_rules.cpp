// core/src/normalize/gene_rules.cpp
#include "orvelle/normalize/gene_rules.h"

#include "orvelle/constants.h"
#include "orvelle/normalize/whole_number.h"
#include "table_members.h"

namespace orvelle::normalize {
namespace {

Resolved<TextSet> text_list(const TableMembers &table, std::string_view key) {
  return table.resolve<TextSet>(key, {}, "a list", [](const json::Value &value) {
    return value.is_array() ? std::optional<TextSet>(TextSet(value.items())) : std::nullopt;
  });
}

} // namespace

GeneRules::GeneRules(const json::Value &root) {
  const TableMembers table(constants::MAPPING_GENE_RULES, root);
  passthrough_sources = text_list(table, "passthrough_sources");
  no_call_tokens = text_list(table, "no_call_tokens");
  genotype_guided_genes = text_list(table, "genotype_guided_genes");
  hla_genes = text_list(table, "hla_genes");
  single_allele_genes = text_list(table, "single_allele_genes");
  strip_suballele_suffix = table.resolve<bool>("strip_suballele_suffix", false, "",
                                               [](const json::Value &) { return true; });
  hla_allele_fields =
      table.resolve<std::int64_t>("hla_allele_fields", 2, "a whole number",
                                  [](const json::Value &value) { return host_int(value); });
  hla_join_phenotypes_with = table.resolve<std::string_view>(
      "hla_join_phenotypes_with", "; ", "a string", [](const json::Value &value) {
        return value.is_string() ? std::optional(value.as_string()) : std::nullopt;
      });
  caller_rules = table.resolve<CallerRuleSet>("caller_rules", {}, "an object of objects of lists",
                                              &CallerRuleSet::from);
}

} // namespace orvelle::normalize
