// core/src/readers/pharmcat_recommendation.cpp: when PharmCAT's recommendation diplotype
// stands in for its call, which label the call shows, and the warning that says why.
#include "pharmcat_recommendation.h"

#include "orvelle/text/host_text.h"

#include <array>
#include <utility>

namespace orvelle::pharmcat {
namespace {

// Why PharmCAT looks up another diplotype, by gene: its reporter's callers
// (reporter/caller/Cyp2d6CopyNumberCaller, LowestFunctionGeneCaller, Slco1b1CustomCaller).
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> REASONS = {{
    {"CYP2D6", "copy number: PharmCAT looks three or more copies up as x\u22653"},
    {"DPYD", "lowest function per strand: PharmCAT keeps the lowest-activity allele of each "
             "strand, or of unphased data the two lowest-function haplotypes"},
    {"RYR1", "lowest function per strand: PharmCAT keeps the most severe allele of each strand"},
    {"SLCO1B1", "rs4149056: PharmCAT infers SLCO1B1 from that one position when its matcher "
                "cannot call the gene"},
}};

std::string_view reason(std::string_view gene) {
  for (const auto &[known, why] : REASONS)
    if (known == gene)
      return why;
  return "PharmCAT marks it inferred";
}

std::string listed(const std::vector<std::string> &labels) {
  std::string text;
  for (const std::string &label : labels)
    text.append(text.empty() ? "" : ", ").append(text::quoted(label));
  return text;
}

} // namespace

std::optional<InferredReading> inferred_reading(std::string_view gene,
                                                const LookupDiplotypes &reported) {
  const std::vector<std::string> &sources = reported.source_labels;
  const bool one_source = sources.size() == 1 && !reported.single_haplotypes;
  if (!reported.inferred && one_source && sources.front() == reported.recommendation_label)
    return std::nullopt;
  InferredReading reading;
  // Single haplotypes are no diplotype to show; otherwise the call as PharmCAT called it.
  reading.shows_recommendation = reported.single_haplotypes || sources.empty();
  reading.star_label =
      reading.shows_recommendation ? reported.recommendation_label : sources.front();
  const char *kind = reported.single_haplotypes ? "source haplotypes "
                     : sources.size() > 1       ? "source diplotypes "
                                                : "source diplotype ";
  reading.warning = kind + listed(sources) + "; PharmCAT bases its guidance on " +
                    text::quoted(reported.recommendation_label) + " (" + std::string(reason(gene)) +
                    "); its phenotype is the Activity";
  return reading;
}

} // namespace orvelle::pharmcat
