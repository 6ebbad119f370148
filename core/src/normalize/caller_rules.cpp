// core/src/normalize/caller_rules.cpp: the caller_rules member of the gene-rules table, read
// into one rule set per caller.
#include "orvelle/normalize/caller_rules.h"

namespace orvelle::normalize {
namespace {

// A list member of one caller's entry; missing or false is an empty list.
bool text_list(const json::Value &entry, std::string_view key, TextSet &into) {
  const json::Value *value = json::given(entry, key);
  if (value == nullptr)
    return true;
  if (!value->is_array())
    return false;
  into = TextSet(value->items());
  return true;
}

// The list member `key` as views of its texts (missing or false: none).
bool text_views(const json::Value &entry, std::string_view key,
                std::vector<std::string_view> &into) {
  const json::Value *value = json::given(entry, key);
  if (value == nullptr)
    return true;
  if (!value->is_array())
    return false;
  for (const json::Value &item : value->items())
    if (item.is_string() && !item.as_string().empty())
      into.push_back(item.as_string());
  return true;
}

// The object member `key` of gene -> list of texts (missing or false: none).
bool gene_lists(const json::Value &entry, std::string_view key,
                std::vector<std::pair<std::string_view, TextSet>> &into) {
  const json::Value *value = json::given(entry, key);
  if (value == nullptr)
    return true;
  if (!value->is_object())
    return false;
  for (const json::Member &gene : value->members()) {
    if (!gene.value.is_array())
      return false;
    into.emplace_back(gene.key, TextSet(gene.value.items()));
  }
  return true;
}

} // namespace

const TextSet *CallerRules::accepted_terms_of(std::string_view gene) const {
  for (const auto &[symbol, terms] : accepted_terms)
    if (symbol == gene)
      return &terms;
  return nullptr;
}

std::optional<CallerRuleSet> CallerRuleSet::from(const json::Value &table) {
  if (!table.is_object())
    return std::nullopt;
  CallerRuleSet set;
  for (const json::Member &member : table.members()) {
    const json::Value &entry = member.value;
    CallerRules rules;
    if (!entry.is_object() || !text_list(entry, "no_call_diplotypes", rules.no_call_diplotypes) ||
        !text_list(entry, "no_call_haplotypes", rules.no_call_haplotypes) ||
        !text_list(entry, "placeholder_phenotypes", rules.placeholder_phenotypes) ||
        !text_list(entry, "phenotyped_genes", rules.phenotyped_genes) ||
        !text_views(entry, "alternative_separators", rules.alternative_separators) ||
        !gene_lists(entry, "accepted_terms", rules.accepted_terms))
      return std::nullopt;
    set.callers_.emplace_back(member.key, std::move(rules));
  }
  return set;
}

const CallerRules *CallerRuleSet::find(const std::optional<std::string> &source) const {
  if (!source)
    return nullptr;
  for (const auto &[caller, rules] : callers_)
    if (caller == *source)
      return &rules;
  return nullptr;
}

} // namespace orvelle::normalize
