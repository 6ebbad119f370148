// core/src/convert/merge.cpp: all raw calls of a run into one result per gene.
//
// Within a gene the calls are ordered by caller rank, then by the phenotype-source preference
// (stable, so ties keep their arrival order). The first call is normalised; when it yields no
// Activity and the rules allow it, later calls are consulted until one does (not when the
// first call's candidate diplotypes differ in phenotype: that gap is final). Genes that only
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

// A call with its place in a gene's order: caller rank first (higher first), then the
// phenotype-source preference.
struct Placed {
  int rank;
  std::size_t preference;
  const RawCall *call;
};

bool placed_before(const Placed &a, const Placed &b) {
  if (a.rank != b.rank)
    return a.rank > b.rank;
  return a.preference < b.preference;
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
    // Each call's place is worked out once, so the sort compares numbers; calls already in
    // order (a gene from one caller, however many rows) are not sorted at all.
    std::vector<Placed> ordered;
    ordered.reserve(gene_calls.size());
    for (const RawCall *call : gene_calls)
      ordered.push_back({call->source ? source_rank(*call->source) : 0,
                         preference_position(preference, call->phenotype_source), call});
    if (!std::is_sorted(ordered.begin(), ordered.end(), placed_before))
      std::stable_sort(ordered.begin(), ordered.end(), placed_before);

    const bool only_from_starphase =
        std::all_of(gene_calls.begin(), gene_calls.end(), [](const RawCall *call) {
          return call->source == constants::CALLER_PBSTARPHASE;
        });
    if (only_from_starphase && (!recover_dropped_genes || !recoverable.contains(gene)))
      continue;

    GeneOutcome best = normalizer.normalize(*ordered.front().call);
    // A gap left because the caller's candidates differ is the answer, not a missing phenotype.
    if (allow_fallback && !best.activity && !ordered.front().call->ambiguous_phenotype) {
      const std::string preferred = origin(*ordered.front().call);
      for (std::size_t i = 1; i < ordered.size(); ++i) {
        const RawCall &call = *ordered[i].call;
        GeneOutcome fallback = normalizer.normalize(call);
        if (!fallback.activity)
          continue;
        best.activity = std::move(fallback.activity);
        best.phenotype_source = call.phenotype_source;
        best.add_warning("no usable phenotype from " + preferred + "; taken from " + origin(call));
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
