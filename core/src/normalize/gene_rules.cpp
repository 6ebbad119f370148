// core/src/normalize/gene_rules.cpp: every member of the gene-rules table, resolved once.
#include "orvelle/normalize/gene_rules.h"

#include "orvelle/constants.h"
#include "orvelle/normalize/whole_number.h"
#include "orvelle/text/host_text.h"
#include "table_members.h"

#include <algorithm>

namespace orvelle::normalize {
namespace {

Resolved<TextSet> text_list(const TableMembers &table, std::string_view key) {
  return table.resolve<TextSet>(key, {}, "a list", [](const json::Value &value) {
    return value.is_array() ? std::optional<TextSet>(TextSet(value.items())) : std::nullopt;
  });
}

std::optional<RuleTexts> host_texts(const json::Value &value) {
  if (!value.is_array())
    return std::nullopt;
  RuleTexts texts;
  for (const json::Value &entry : value.items())
    texts.push_back(text::to_text(entry));
  return texts;
}

bool present(const json::Value &) { return true; } // reached only for a true value

} // namespace

GeneRules::GeneRules(const json::Value &root) {
  const TableMembers table(constants::MAPPING_GENE_RULES, root);
  passthrough_sources = text_list(table, "passthrough_sources");
  no_call_tokens = text_list(table, "no_call_tokens");
  genotype_guided_genes = text_list(table, "genotype_guided_genes");
  hla_genes = text_list(table, "hla_genes");
  single_allele_genes = text_list(table, "single_allele_genes");
  strip_suballele_suffix = table.resolve<bool>("strip_suballele_suffix", false, "", present);
  hla_allele_fields =
      table.resolve<std::int64_t>("hla_allele_fields", 2, "a whole number",
                                  [](const json::Value &value) { return host_int(value); });
  hla_join_phenotypes_with = table.resolve<std::string_view>(
      "hla_join_phenotypes_with", "; ", "a string", [](const json::Value &value) {
        return value.is_string() ? std::optional(value.as_string()) : std::nullopt;
      });
  caller_rules = table.resolve<CallerRuleSet>("caller_rules", {}, "an object of objects of lists",
                                              &CallerRuleSet::from);
  uncertain_phenotype_caveats = text_list(table, "uncertain_phenotype_caveats");

  phenotype_source_preference =
      table.resolve<RuleTexts>("phenotype_source_preference", {}, "a list", host_texts);
  allow_source_fallback = table.resolve<bool>("allow_source_fallback", false, "", present);
  recoverable_genes = table.resolve<std::set<std::string, std::less<>>>(
      "recoverable_genes", {}, "a list", [](const json::Value &value) {
        std::optional<RuleTexts> texts = host_texts(value);
        return texts
                   ? std::optional(std::set<std::string, std::less<>>(texts->begin(), texts->end()))
                   : std::nullopt;
      });
  passthrough_source_texts =
      table.resolve<RuleTexts>("passthrough_sources", {}, "a list", [](const json::Value &value) {
        std::optional<RuleTexts> texts = host_texts(value);
        if (texts)
          std::sort(texts->begin(), texts->end()); // byte order: code-point order for UTF-8
        return texts;
      });
}

} // namespace orvelle::normalize
