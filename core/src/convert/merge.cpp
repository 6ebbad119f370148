// core/src/convert/merge.cpp: all raw calls of a run into one result per gene.
//
// Within a gene the calls are ordered by caller rank, then by the phenotype-source preference
// (stable, so ties keep their arrival order). The first call is normalised; when it yields no
// Activity and the rules allow it, later calls are consulted until one does. Genes that only
// pbStarPhase reported survive only where the rules mark them recoverable.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/constants.h"
#include "orvelle/log.h"

#include <algorithm>
#include <map>

namespace orvelle {
namespace {

std::size_t preference_position(const std::vector<std::string> &preference,
                                const std::optional<std::string> &phenotype_source) {
  if (!phenotype_source)
    return preference.size();
  auto found = std::find(preference.begin(), preference.end(), *phenotype_source);
  return static_cast<std::size_t>(found - preference.begin());
}

// The text that names where a call's phenotype came from in the fallback warning.
std::string origin(const RawCall &call) {
  if (call.phenotype_source && !call.phenotype_source->empty())
    return *call.phenotype_source;
  return call.source ? *call.source : std::string("None");
}

} // namespace

std::vector<GeneOutcome> OrvellePgxParser::merge(const std::vector<RawCall> &calls) {
  const std::vector<std::string> preference = source_preference();
  const json::Value *fallback_rule = normalizer.rules().find("allow_source_fallback");
  const bool allow_fallback = fallback_rule != nullptr && fallback_rule->truthy();
  const std::vector<std::string> recoverable_list = rule_texts("recoverable_genes");
  const std::set<std::string> recoverable(recoverable_list.begin(), recoverable_list.end());

  // std::string orders by unsigned bytes: code-point order for UTF-8 (and WTF-8) texts.
  std::map<std::string, std::vector<const RawCall *>> groups;
  for (const RawCall &call : calls)
    if (gene_filter.empty() || gene_filter.contains(call.gene))
      groups[call.gene].push_back(&call);

  std::vector<GeneOutcome> results;
  results.reserve(groups.size());
  for (auto &[gene, gene_calls] : groups) {
    std::vector<const RawCall *> ordered = gene_calls;
    std::stable_sort(ordered.begin(), ordered.end(), [&](const RawCall *a, const RawCall *b) {
      const int rank_a = a->source ? source_rank(*a->source) : 0;
      const int rank_b = b->source ? source_rank(*b->source) : 0;
      if (rank_a != rank_b)
        return rank_a > rank_b;
      return preference_position(preference, a->phenotype_source) <
             preference_position(preference, b->phenotype_source);
    });

    const bool only_from_starphase =
        std::all_of(gene_calls.begin(), gene_calls.end(), [](const RawCall *call) {
          return call->source == constants::CALLER_PBSTARPHASE;
        });
    if (only_from_starphase && (!recover_dropped_genes || !recoverable.contains(gene)))
      continue;

    GeneOutcome best = normalizer.normalize(*ordered.front());
    if (allow_fallback && !best.activity) {
      const std::string preferred = origin(*ordered.front());
      for (std::size_t i = 1; i < ordered.size(); ++i) {
        GeneOutcome fallback = normalizer.normalize(*ordered[i]);
        if (!fallback.activity)
          continue;
        best.activity = std::move(fallback.activity);
        best.phenotype_source = ordered[i]->phenotype_source;
        best.add_warning("no usable phenotype from " + preferred + "; taken from " +
                         origin(*ordered[i]));
        break;
      }
    }
    if (!best.star_allele && !best.activity)
      log::warning("%s produced neither diplotype nor phenotype", {gene});
    if (only_from_starphase)
      best.add_warning("recovered from pbStarPhase; PharmCAT reported no guideline");
    results.push_back(std::move(best));
  }
  return results;
}

} // namespace orvelle
