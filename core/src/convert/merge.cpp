// core/src/convert/merge.cpp: all raw calls of a run into one result per gene.
//
// Within a gene the calls are ordered by caller rank, then by the phenotype-source preference
// (stable, so ties keep their arrival order). The first call is normalised; when it yields no
// Activity and the rules allow it, later calls are consulted until one does, but never one
// that called another diplotype, and not at all when the first call's candidate diplotypes
// differ in phenotype (that gap is final). In a run with PharmCAT, genes that only pbStarPhase
// reported survive only where the rules mark them recoverable; every dropped gene is named.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/constants.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"

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

// The same diplotype, whatever the order of its alleles (a multiset of the "/" pieces).
bool same_diplotype(std::string_view a, std::string_view b) {
  std::vector<std::string_view> first = CallNormalizer::split(a);
  std::vector<std::string_view> second = CallNormalizer::split(b);
  std::sort(first.begin(), first.end());
  std::sort(second.begin(), second.end());
  return first == second;
}

// The other phenotype section (CPIC, DPWG) of the same caller's result: its Activity belongs
// to the same call, so it may fill the gap whatever diplotype label the section carries.
bool other_section(const RawCall &first, const RawCall &candidate) {
  return first.source == candidate.source && first.phenotype_source &&
         !first.phenotype_source->empty() && candidate.phenotype_source &&
         !candidate.phenotype_source->empty() &&
         first.phenotype_source != candidate.phenotype_source;
}

bool has_star_allele(const GeneOutcome &result) {
  return result.star_allele && !CallNormalizer::split(*result.star_allele).empty();
}

// A later call's Activity is only taken over for the diplotype it was given for: a term of
// another diplotype would read as the patient's.
bool may_take_activity(const RawCall &first, const GeneOutcome &best, const RawCall &candidate,
                       const GeneOutcome &fallback) {
  if (other_section(first, candidate) || !has_star_allele(best) || !has_star_allele(fallback))
    return true;
  return same_diplotype(*best.star_allele, *fallback.star_allele);
}

bool from_pharmcat(const RawCall &call) {
  return call.source == constants::CALLER_PHARMCAT_REPORT ||
         call.source == constants::CALLER_PHARMCAT_PHENOTYPE;
}

} // namespace

std::vector<GeneOutcome> OrvellePgxParser::merge(const std::vector<RawCall> &calls) {
  const std::vector<std::string> preference = source_preference();
  const normalize::GeneRules &rules = normalizer.gene_rules();
  const bool allow_fallback = rules.allow_source_fallback.get();
  const auto &recoverable = rules.recoverable_genes.get();
  // Without PharmCAT, a gene that only pbStarPhase reported is not missing a guideline call.
  const bool pharmcat_read = std::any_of(calls.begin(), calls.end(), from_pharmcat);
  dropped_genes.clear();

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
      ordered.push_back({call->source ? caller_rank(*call->source) : 0,
                         preference_position(preference, call->phenotype_source), call});
    if (!std::is_sorted(ordered.begin(), ordered.end(), placed_before))
      std::stable_sort(ordered.begin(), ordered.end(), placed_before);

    const bool only_from_starphase =
        std::all_of(gene_calls.begin(), gene_calls.end(), [](const RawCall *call) {
          return call->source == constants::CALLER_PBSTARPHASE;
        });
    const bool recovered = only_from_starphase && pharmcat_read;
    const bool dropped = only_from_starphase &&
                         (!recover_dropped_genes || (recovered && !recoverable.contains(gene)));
    if (dropped) {
      log::warning("Dropped %s: %s",
                   {gene, recover_dropped_genes
                              ? "only pbStarPhase reported it, and PharmCAT, which has a "
                                "guideline for it, did not"
                              : "only pbStarPhase reported it, and recovery is switched off"});
      dropped_genes.push_back(gene);
      continue;
    }

    GeneOutcome best = normalizer.normalize(*ordered.front().call);
    // A gap left because the caller's candidates differ, or its own caveat allows another
    // phenotype, is the answer, not a missing phenotype.
    if (allow_fallback && !best.activity && !normalizer.phenotype_withheld(*ordered.front().call)) {
      const std::string preferred = origin(*ordered.front().call);
      for (std::size_t i = 1; i < ordered.size(); ++i) {
        const RawCall &call = *ordered[i].call;
        GeneOutcome fallback = normalizer.normalize(call);
        if (!fallback.activity)
          continue;
        if (!may_take_activity(*ordered.front().call, best, call, fallback)) {
          best.add_warning("no usable phenotype from " + preferred + "; not taken from " +
                           origin(call) + ", which called " + text::quoted(*fallback.star_allele) +
                           " instead of " + text::quoted(*best.star_allele));
          continue;
        }
        best.activity = std::move(fallback.activity);
        best.phenotype_source = call.phenotype_source;
        best.add_warning("no usable phenotype from " + preferred + "; taken from " + origin(call));
        break;
      }
    }
    if (!best.star_allele && !best.activity)
      log::warning("%s produced neither diplotype nor phenotype", {gene});
    if (recovered)
      best.add_warning("recovered from pbStarPhase; PharmCAT reported no guideline");
    results.push_back(std::move(best));
  }
  return results;
}

} // namespace orvelle
