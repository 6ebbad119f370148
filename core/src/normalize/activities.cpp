// core/src/normalize/activities.cpp: the Activity of each path: caller phenotypes through
// the phenotype-terms table (standard and HLA genes), and the rewritten diplotype through the
// genotype-terms table (genotype-guided genes).
#include "table_members.h"

#include "orvelle/constants.h"
#include "orvelle/normalize/call_normalizer.h"
#include "orvelle/text/host_text.h"

namespace orvelle {

using normalize::term_text;

const json::Value *CallNormalizer::lookup_phenotype(std::string_view gene,
                                                    std::string_view phenotype) const {
  // A per-gene entry wins even when it is null: the gene then has no term for it.
  if (const json::Value *own = phenotype_index_.genes.get().entry(gene).find(phenotype))
    return own;
  return phenotype_index_.global.get().find(phenotype);
}

std::optional<std::string> CallNormalizer::map_phenotypes(const RawCall &call, GeneOutcome &result,
                                                          bool join_all) {
  // Looks one phenotype up, recording it when unmapped; false when it had no term.
  std::string_view term;
  const normalize::CallerRules *own = gene_rules_.caller_rules.get().find(call.source);
  const normalize::TextSet *accepted = own != nullptr ? own->accepted_terms_of(call.gene) : nullptr;
  auto look_up = [&](const std::string &phenotype) {
    const json::Value *target = lookup_phenotype(call.gene, phenotype);
    if ((target == nullptr || target->is_null()) && accepted != nullptr &&
        accepted->contains(phenotype)) {
      term = phenotype; // the platform's own term, as the caller wrote it
      return true;
    }
    if (target == nullptr || target->is_null()) {
      record_unmapped(call.gene, phenotype);
      result.add_warning("unmapped phenotype term " + text::quoted(phenotype));
      return false;
    }
    term = term_text(*target, constants::MAPPING_PHENOTYPE_TERMS, call.gene, phenotype);
    return true;
  };

  std::size_t usable = 0;
  std::optional<std::string> joined;
  const std::string *first = nullptr;
  for (const std::optional<std::string> &phenotype : call.phenotypes) {
    if (!phenotype || is_no_call_text(*phenotype))
      continue;
    ++usable;
    if (!join_all) {
      if (first == nullptr)
        first = &*phenotype;
      continue;
    }
    // Joining every term: each phenotype is looked up as it comes, in order.
    if (look_up(*phenotype)) {
      const std::string_view separator = gene_rules_.hla_join_phenotypes_with.get();
      if (joined)
        joined->append(separator);
      else
        joined.emplace();
      joined->append(term);
    }
  }
  if (usable == 0) {
    const std::optional<std::string> &from =
        call.phenotype_source && !call.phenotype_source->empty() ? call.phenotype_source
                                                                 : call.source;
    result.add_warning("no phenotype from " + from.value_or("None"));
    return std::nullopt;
  }
  if (join_all)
    return joined;
  if (usable >= 2)
    result.add_warning(std::to_string(usable) + " phenotypes reported; using the first");
  return look_up(*first) ? std::optional<std::string>(term) : std::nullopt;
}

std::optional<std::string> CallNormalizer::genotype_guided_activity(std::string_view gene,
                                                                    GeneOutcome &result) {
  if (!result.star_allele || result.star_allele->empty())
    return std::nullopt;
  const std::string &diplotype = *result.star_allele;
  const json::Value *term = genotype_index_.diplotype_activity.get().entry(gene).find(diplotype);
  if (term == nullptr) {
    record_unmapped(gene, diplotype);
    result.add_warning("unmapped genotype-guided diplotype " + text::quoted(diplotype));
    return std::nullopt;
  }
  if (term->is_null()) {
    record_unmapped(gene, diplotype);
    result.add_warning("genotype-guided diplotype " + text::quoted(diplotype) +
                       " has no Orvelle term yet");
    return std::nullopt;
  }
  return std::string(term_text(*term, constants::MAPPING_GENOTYPE_TERMS, gene, diplotype));
}

} // namespace orvelle
