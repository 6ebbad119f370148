// core/src/readers/stellarpgx_result.h: what StellarPGx wrote of one gene of one sample made
// into a call, the same for its .alleles report and its cohort summary: no-calls, guesses and
// alternatives are gaps, its notes warnings, all in its own words.
#pragma once

#include "orvelle/records/raw_call.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::stellarpgx {

/// StellarPGx's words on one gene of one sample, each trimmed.
struct Said {
  /// The Result's answers: a diplotype, "No_call", diplotypes joined by " or ", a bracketed
  /// guess. A report has one; a summary gives several when a sample spans several lines.
  std::vector<std::string_view> answers;
  /// What it writes beside or after the Result ("Duplication present", "Possible ...").
  std::vector<std::string_view> notes;
  /// The likely background alleles it prints beside a possible novel allele.
  std::optional<std::string> background;
  /// The Metaboliser status (a report of CYP2D6 only).
  std::optional<std::string> status;
};

/// The call of `said`, tagged with StellarPGx's caller: the one diplotype answered, with the
/// status as its phenotype; no star allele, with a warning quoting StellarPGx, for a no-call,
/// a possible novel allele (whatever diplotype stands beside it is its guess), a bracketed
/// guess, alternatives or several answers. A hybrid note keeps the diplotype and withholds any
/// Activity; other notes travel as warnings.
RawCall call_of(std::string_view gene, const Said &said);

} // namespace orvelle::stellarpgx
