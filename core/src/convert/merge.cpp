// core/src/convert/merge.cpp: all raw calls of a run into one result per gene.
//
// Within a gene the calls are ordered by caller rank, then by the phenotype-source preference
// (stable, so ties keep their arrival order). The first call with a star allele stands; callers
// of its rank that called another diplotype make the gene a gap, lower-ranked ones are named.
// When it yields no Activity and the rules allow it, later calls are consulted until one does,
// but never one that called another diplotype, and not at all when the standing call's
// candidate diplotypes differ in phenotype (that gap is final). In a run with PharmCAT, genes
// that only pbStarPhase reported survive only where the rules mark them recoverable; every
// dropped gene is named.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/constants.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"

#include <algorithm>
#include <map>
#include <set>
#include <span>

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

// A gene symbol as the callers would write it, compared without regard to case.
std::string folded(std::string_view gene) { return text::upper(gene); }

bool from_pharmcat(const RawCall &call) {
  return call.source == constants::CALLER_PHARMCAT_REPORT ||
         call.source == constants::CALLER_PHARMCAT_PHENOTYPE;
}

// The genes of `filter` that no group holds (dropped genes are groups), in gene-symbol order,
// each named in a warning.
template <typename Groups>
std::vector<std::string> missing_genes_of(const std::set<std::string> &filter,
                                          const std::vector<RawCall> &calls, const Groups &groups) {
  std::vector<std::string> missing;
  for (const std::string &wanted : filter) { // a sorted set: gene-symbol order
    if (groups.contains(wanted))
      continue;
    missing.push_back(wanted);
    // The filter is exact; a symbol that differs only in case is named as the likely intent.
    auto alike = std::find_if(calls.begin(), calls.end(), [&](const RawCall &call) {
      return folded(call.gene) == folded(wanted);
    });
    if (alike != calls.end())
      log::warning("Requested gene %r gave no result; the inputs have %r", {wanted, alike->gene});
    else
      log::warning("Requested gene %r gave no result: no input reports it", {wanted});
  }
  return missing;
}

// The caller that made a call, as warnings name it.
std::string caller_of(const RawCall &call) {
  return call.source ? *call.source : std::string("None");
}

// A call's star allele as the merge compares it. The call is only looked at: the terms its
// normalisation cannot map are not counted as the run's.
std::optional<std::string> star_allele_of(CallNormalizer &normalizer, const RawCall &call) {
  CallNormalizer::UnmappedTerms counted = normalizer.unmapped_terms();
  GeneOutcome seen = normalizer.normalize(call);
  normalizer.unmapped_terms() = std::move(counted);
  return has_star_allele(seen) ? std::move(seen.star_allele) : std::nullopt;
}

// One gene's result from its calls, in merge order.
//
// The first call stands unless it has no star allele: then the first later call that has one
// stands in (a no-call never hides a call). Calls that called another diplotype are never
// silent: one of the standing call's rank makes the gene a gap (equal-rank callers that
// disagree leave no answer), one of lower rank is named in a warning. A missing Activity is
// then taken from a later call of the same diplotype, with that call's warnings.
GeneOutcome resolve(CallNormalizer &normalizer, std::span<const Placed> ordered,
                    bool allow_fallback) {
  std::size_t chosen = 0;
  GeneOutcome best = normalizer.normalize(*ordered[0].call);
  // Candidates that differ are the caller's answer, not a no-call another caller may replace.
  if (allow_fallback && !has_star_allele(best) && !ordered[0].call->ambiguous_phenotype)
    for (std::size_t i = 1; i < ordered.size(); ++i) {
      if (!star_allele_of(normalizer, *ordered[i].call))
        continue;
      GeneOutcome taken = normalizer.normalize(*ordered[i].call);
      for (const std::string &warning : best.warnings) // why the first call gave none
        taken.add_warning(warning);
      taken.add_warning("no star allele from " + caller_of(*ordered[0].call) + "; taken from " +
                        caller_of(*ordered[i].call));
      best = std::move(taken);
      chosen = i;
      break;
    }
  const RawCall &lead = *ordered[chosen].call;

  // Every other call that answers otherwise than the standing one: another diplotype, or,
  // at the standing call's rank, candidates that differ.
  struct Disagreeing {
    const RawCall *call;
    std::optional<std::string> star_allele; ///< absent: the call's candidates differ
    bool named = false;

    std::string said() const {
      return caller_of(*call) + (star_allele ? " called " + text::quoted(*star_allele)
                                             : " gave candidates that differ");
    }
  };
  std::vector<Disagreeing> equal_rank, lower_rank;
  const bool lead_undecided = !has_star_allele(best) && lead.ambiguous_phenotype;
  if (has_star_allele(best) || lead_undecided)
    for (std::size_t i = 0; i < ordered.size(); ++i) {
      const RawCall &other = *ordered[i].call;
      if (i == chosen || other_section(lead, other))
        continue; // the other guideline section of one result is the same call
      std::optional<std::string> called = star_allele_of(normalizer, other);
      const bool equal = ordered[i].rank == ordered[chosen].rank;
      if (called && best.star_allele && same_diplotype(*best.star_allele, *called))
        continue;
      if (called || (equal && other.ambiguous_phenotype && !lead_undecided))
        (equal ? equal_rank : lower_rank).push_back({&other, std::move(called)});
    }
  if (!equal_rank.empty()) {
    std::string listed = lead_undecided ? Disagreeing{&lead, std::nullopt}.said()
                                        : Disagreeing{&lead, best.star_allele}.said();
    for (const Disagreeing &other : equal_rank)
      listed += ", " + other.said();
    best.add_warning("callers of equal rank disagree: " + listed + "; none is used");
    best.star_allele.reset();
    best.activity.reset();
    return best;
  }

  // A gap left because the caller's candidates differ, or its own caveat allows another
  // phenotype, is the answer, not a missing phenotype.
  if (allow_fallback && !best.activity && !normalizer.phenotype_withheld(lead)) {
    const std::string preferred = origin(lead);
    for (std::size_t i = 0; i < ordered.size(); ++i) {
      const RawCall &call = *ordered[i].call;
      if (i == chosen)
        continue;
      GeneOutcome fallback = normalizer.normalize(call);
      if (!fallback.activity)
        continue;
      if (!may_take_activity(lead, best, call, fallback)) {
        best.add_warning("no usable phenotype from " + preferred + "; not taken from " +
                         origin(call) + ", which called " + text::quoted(*fallback.star_allele) +
                         " instead of " + text::quoted(*best.star_allele));
        for (Disagreeing &other : lower_rank)
          other.named = other.named || other.call == &call;
        continue;
      }
      best.activity = std::move(fallback.activity);
      best.phenotype_source = call.phenotype_source;
      best.add_warning("no usable phenotype from " + preferred + "; taken from " + origin(call));
      for (const std::string &warning : fallback.warnings) // what its caller said of it
        best.add_warning(warning);
      break;
    }
  }
  for (const Disagreeing &other : lower_rank)
    if (!other.named)
      best.add_warning(other.said() + "; not used, as " + caller_of(lead) + " ranks higher");
  return best;
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
  missing_genes = missing_genes_of(gene_filter, calls, groups);
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

    GeneOutcome best = resolve(normalizer, ordered, allow_fallback);
    if (!best.star_allele && !best.activity)
      log::warning("%s produced neither diplotype nor phenotype", {gene});
    if (recovered)
      best.add_warning("recovered from pbStarPhase; PharmCAT reported no guideline");
    results.push_back(std::move(best));
  }
  return results;
}

} // namespace orvelle
