// core/src/readers/pharmcat_recommendation.h: the one rule for a gene whose guidance PharmCAT
// looks up with another diplotype than the one it called, for every reader of its output.
//
// PharmCAT reports what it called (source diplotypes) and what it looks its recommendations up
// with (recommendation diplotypes). They differ where PharmCAT infers the second: CYP2D6 with
// three or more copies (x≥3), DPYD and RYR1 (lowest function per strand, also for the single
// haplotypes of unphased data), SLCO1B1 that the matcher cannot call (from rs4149056 alone).
// The call's phenotype is then the recommendation diplotype's; the star allele stays the
// called diplotype, except where the source holds no diplotype (single haplotypes), as
// PharmCAT's own summary writes the calls. The rule works on labels only, so the JSON readers
// (recommendationDiplotypes) and the calls-only TSV ("Recommendation Lookup" columns) apply
// it alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::pharmcat {

/// What PharmCAT reported for one gene, reduced to what the rule reads.
struct LookupDiplotypes {
  std::vector<std::string> source_labels; ///< the source diplotypes, in order
  /// The sources are the separate haplotypes of an unphased call (allele2 null in the JSON,
  /// joined with " AND " in the TSV), not diplotypes.
  bool single_haplotypes = false;
  std::string recommendation_label; ///< the one recommendation diplotype
  bool inferred = false;            ///< PharmCAT's own "inferred" flag
};

/// How a call reads a gene whose recommendation diplotype stands in for its source.
struct InferredReading {
  std::string star_label;      ///< the diplotype the call reports
  bool shows_recommendation{}; ///< star_label is the recommendation's, not the first source's
  std::string warning;         ///< names both labels and why PharmCAT inferred the recommendation
};

/// The reading when the call's phenotype must come from the recommendation diplotype: its
/// label differs from the one source diplotype, there are several sources or single
/// haplotypes, or PharmCAT marks it inferred. nullopt when the recommendation is the call.
std::optional<InferredReading> inferred_reading(std::string_view gene,
                                                const LookupDiplotypes &reported);

} // namespace orvelle::pharmcat
