// core/src/normalize/call_normalizer.cpp: the tables, the dispatch of a call to its
// path, the passthrough path, the structural rule tests and the collection of unmapped terms.
// The other paths are in star_alleles.cpp and activities.cpp.
#include "orvelle/normalize/call_normalizer.h"

#include "orvelle/constants.h"
#include "orvelle/log.h"
#include "orvelle/mappings/mapping_tables.h"
#include "orvelle/text/host_text.h"
#include "table_members.h"

#include <algorithm>

namespace orvelle {

namespace c = constants;

// Braced initialisation evaluates its arguments in order: the tables load in the order gene
// rules, phenotype terms, genotype terms.
CallNormalizer::CallNormalizer()
    : CallNormalizer{mappings::load_mapping(c::MAPPING_GENE_RULES),
                     mappings::load_mapping(c::MAPPING_PHENOTYPE_TERMS),
                     mappings::load_mapping(c::MAPPING_GENOTYPE_TERMS)} {}

CallNormalizer::CallNormalizer(Table rules, Table phenotype_terms, Table genotype_terms)
    : rules_(std::move(rules)), phenotype_terms_(std::move(phenotype_terms)),
      genotype_terms_(std::move(genotype_terms)), gene_rules_(rules_->root()),
      phenotype_index_(phenotype_terms_->root()), genotype_index_(genotype_terms_->root()) {}

void CallNormalizer::set_rules(Table table) {
  normalize::GeneRules resolved(table->root());
  rules_ = std::move(table);
  gene_rules_ = std::move(resolved);
}

void CallNormalizer::set_phenotype_terms(Table table) {
  normalize::PhenotypeTerms resolved(table->root());
  phenotype_terms_ = std::move(table);
  phenotype_index_ = std::move(resolved);
}

void CallNormalizer::set_genotype_terms(Table table) {
  normalize::GenotypeTerms resolved(table->root());
  genotype_terms_ = std::move(table);
  genotype_index_ = std::move(resolved);
}

json::Document CallNormalizer::mapping_versions() const {
  json::DocumentBuilder builder;
  auto version = [&](const Table &table, std::string_view name) {
    const json::Value &root = table->root();
    if (!root.is_object())
      throw ValueError(normalize::wrong_shape(normalize::table_place(name), "an object", root));
    const json::Value *value = root.find("version");
    return value != nullptr ? builder.copy(*value) : json::Value();
  };
  const json::Member members[] = {
      {c::MAPPING_GENE_RULES, version(rules_, c::MAPPING_GENE_RULES)},
      {c::MAPPING_PHENOTYPE_TERMS, version(phenotype_terms_, c::MAPPING_PHENOTYPE_TERMS)},
      {c::MAPPING_GENOTYPE_TERMS, version(genotype_terms_, c::MAPPING_GENOTYPE_TERMS)},
  };
  return builder.finish(builder.object(members));
}

GeneOutcome CallNormalizer::normalize(const RawCall &call) {
  GeneOutcome result(call.gene, std::nullopt, std::nullopt, call.source, call.phenotype_source);
  for (const std::string &warning : call.warnings)
    result.add_warning(warning);
  const normalize::CallerRules *own = gene_rules_.caller_rules.get().find(call.source);
  if (own != nullptr && call.diplotype &&
      own->no_call_diplotypes.contains(text::strip(*call.diplotype))) {
    // The caller's own "not called": its phenotype describes no genotype either.
    result.add_warning("no diplotype called: " + *call.source + " wrote " +
                       text::quoted(*call.diplotype));
    return result;
  }
  if (own != nullptr && call.diplotype && !is_no_call(call.diplotype)) {
    std::optional<std::string> why = half_no_call(*own, *call.source, *call.diplotype);
    if (!why && offers_alternatives(*own, *call.diplotype))
      why = "no diplotype called: " + *call.source + " wrote " + text::quoted(*call.diplotype) +
            ", which offers alternatives";
    if (why) {
      result.add_warning(*why);
      return result;
    }
  }
  // The star allele always comes first: the genotype-guided Activity reads it back. Candidates
  // that differ in phenotype leave the Activity a gap (the reader's warning says why), and so
  // does a caveat of the caller's that allows another phenotype.
  const std::string *caveat = uncertain_caveat(call);
  if (caveat != nullptr)
    result.add_warning("no Activity: " + text::quoted(*caveat) +
                       " says the result may be another phenotype");
  const bool with_activity = !call.ambiguous_phenotype && caveat == nullptr;
  if (is_passthrough(call.source)) {
    passthrough(call, result);
  } else if (is_genotype_guided(call.gene)) {
    result.star_allele = genotype_guided_star_allele(call, result);
    if (with_activity)
      result.activity = genotype_guided_activity(call.gene, result);
  } else if (is_hla(call.gene)) {
    result.star_allele = hla_star_allele(call);
    if (with_activity)
      result.activity = map_phenotypes(call, result, true);
  } else {
    result.star_allele = star_allele(call, result);
    if (with_activity)
      result.activity = map_phenotypes(call, result);
  }
  if (own != nullptr && result.activity && only_placeholders(*own, call)) {
    result.activity.reset();
    result.add_warning(*call.source + " has no phenotype for " + call.gene + "; " +
                       text::quoted(*call.phenotypes.front()) + " is its placeholder");
  }
  return result;
}

std::optional<std::string> CallNormalizer::half_no_call(const normalize::CallerRules &own,
                                                        std::string_view source,
                                                        std::string_view diplotype) {
  std::vector<std::string_view> called;
  bool any_uncalled = false;
  for (std::string_view haplotype : split(diplotype)) {
    if (own.no_call_haplotypes.contains(haplotype))
      any_uncalled = true;
    else
      called.push_back(haplotype);
  }
  if (!any_uncalled)
    return std::nullopt;
  std::string why =
      "no diplotype called: " + std::string(source) + " wrote " + text::quoted(diplotype);
  if (!called.empty()) // the typed haplotype alone is no diplotype
    why += "; only " + text::join(", ", called) + " was called";
  return why;
}

bool CallNormalizer::offers_alternatives(const normalize::CallerRules &own,
                                         std::string_view diplotype) {
  const std::string lowered = text::lower(diplotype);
  return std::ranges::any_of(own.alternative_separators, [&](std::string_view separator) {
    const std::string between = text::lower(separator);
    return std::ranges::count_if(text::split_stripped(lowered, between),
                                 [](std::string_view piece) { return !piece.empty(); }) >= 2;
  });
}

const std::string *CallNormalizer::uncertain_caveat(const RawCall &call) const {
  const normalize::TextSet &uncertain = gene_rules_.uncertain_phenotype_caveats.get();
  for (const std::string &caveat : call.caveats)
    if (uncertain.contains(caveat))
      return &caveat;
  return nullptr;
}

bool CallNormalizer::phenotype_withheld(const RawCall &call) const {
  return call.ambiguous_phenotype || uncertain_caveat(call) != nullptr;
}

bool CallNormalizer::only_placeholders(const normalize::CallerRules &own, const RawCall &call) {
  if (own.phenotyped_genes.contains(call.gene) || call.phenotypes.empty())
    return false;
  return std::all_of(call.phenotypes.begin(), call.phenotypes.end(),
                     [&](const std::optional<std::string> &phenotype) {
                       return phenotype &&
                              own.placeholder_phenotypes.contains(text::strip(*phenotype));
                     });
}

GeneOutcome &CallNormalizer::passthrough(const RawCall &call, GeneOutcome &result) const {
  result.star_allele = call.diplotype;
  result.activity = call.phenotypes.empty() ? std::nullopt : call.phenotypes.front();
  if (call.phenotypes.size() >= 2)
    result.add_warning(std::to_string(call.phenotypes.size()) +
                       " phenotypes reported; using the first");
  return result;
}

bool CallNormalizer::is_passthrough(const std::optional<std::string> &source) const {
  return source && !source->empty() && gene_rules_.passthrough_sources.get().contains(*source);
}

bool CallNormalizer::is_no_call(const std::optional<std::string> &value) const {
  return !value || is_no_call_text(*value);
}

bool CallNormalizer::is_no_call_text(std::string_view value) const {
  return gene_rules_.no_call_tokens.get().contains(text::strip(value));
}

bool CallNormalizer::is_genotype_guided(std::string_view gene) const {
  return gene_rules_.genotype_guided_genes.get().contains(gene);
}

bool CallNormalizer::is_hla(std::string_view gene) const {
  return gene_rules_.hla_genes.get().contains(gene);
}

void CallNormalizer::record_unmapped(std::string_view gene, std::string_view term) {
  std::string entry;
  entry.reserve(gene.size() + 1 + term.size());
  entry.append(gene).append(1, '\t').append(term);
  unmapped_terms_.insert(std::move(entry));
}

void CallNormalizer::log_unmapped() const {
  if (unmapped_terms_.empty() || !log::enabled(log::Level::warning))
    return;
  std::string listing;
  for (const std::string &entry : unmapped_terms_) {
    if (!listing.empty())
      listing += '\n';
    listing.append("  ").append(entry);
  }
  log::write(log::Level::warning, "%d term(s) have no Orvelle mapping yet:\n%s",
             {static_cast<std::int64_t>(unmapped_terms_.size()), std::move(listing)});
}

} // namespace orvelle
