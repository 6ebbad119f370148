// core/src/readers/stellarpgx_result.cpp: StellarPGx's answer and notes on one gene read into
// its call, its doubts kept as warnings in its words.
#include "stellarpgx_result.h"

#include "orvelle/constants.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle::stellarpgx {
namespace {

// The Result's forms that are no call (StellarPGx's CYP2D6 script).
constexpr std::string_view NO_CALL = "No_call";
constexpr std::string_view NOVEL = "Possible novel allele or suballele present";
// A note after the Result that puts the phenotype in doubt: a CYP2D6/2D7 hybrid changes the
// gene's function, and the call does not say which.
constexpr std::string_view HYBRID = "hybrid present";

std::string said(std::string_view text) { return "StellarPGx: " + text::quoted(text); }

bool is_novel(std::string_view text) { return text.starts_with(NOVEL); }

// The answers once each, in order; one empty answer when there is none.
std::vector<std::string_view> distinct(const std::vector<std::string_view> &answers) {
  std::vector<std::string_view> kept;
  for (std::string_view answer : answers)
    if (std::ranges::find(kept, answer) == kept.end())
      kept.push_back(answer);
  if (kept.empty())
    kept.emplace_back();
  return kept;
}

// The warning of a possible novel allele: StellarPGx calls nothing, and whatever diplotype it
// prints beside it (its likely background, bracketed or not) is a guess.
std::string novel_warning(std::string_view novel, const Said &said_of,
                          const std::vector<std::string_view> &answers) {
  std::string warning = said(novel) + ": no diplotype called";
  std::optional<std::string> guess = said_of.background;
  if (!guess) {
    std::vector<std::string_view> guessed;
    for (std::string_view answer : answers)
      if (!answer.empty() && answer != NO_CALL && !is_novel(answer))
        guessed.push_back(answer);
    if (!guessed.empty())
      guess = text::join(", ", guessed);
  }
  if (guess)
    warning +=
        "; its likely background alleles " + text::quoted(*guess) + " are a guess, not a call";
  return warning;
}

} // namespace

RawCall call_of(std::string_view gene, const Said &said_of) {
  RawCall call;
  call.gene = gene;
  call.source = constants::CALLER_STELLARPGX;
  const std::vector<std::string_view> answers = distinct(said_of.answers);
  const std::string_view answer = answers.front();
  const auto novel_in = [](const std::vector<std::string_view> &texts) {
    return std::ranges::find_if(texts, is_novel);
  };

  if (auto novel = novel_in(answers); novel != answers.end()) {
    call.warnings.push_back(novel_warning(*novel, said_of, answers));
  } else if (novel = novel_in(said_of.notes); novel != said_of.notes.end()) {
    call.warnings.push_back(novel_warning(*novel, said_of, answers));
  } else if (answers.size() > 1) {
    std::vector<std::string> quoted;
    for (std::string_view each : answers)
      quoted.push_back(text::quoted(each));
    call.warnings.push_back("StellarPGx: " + text::join(", ", quoted) +
                            ": several results for one sample; none is used");
    call.ambiguous_phenotype = true; // its answer: no other caller fills the gap
  } else if (answer.empty() || answer == NO_CALL) {
    call.warnings.push_back(said(answer) + ": no diplotype called");
  } else if (answer.starts_with('[')) {
    call.warnings.push_back(said(answer) + ": a likely background, not a call");
  } else if (answer.find(" or ") != std::string_view::npos) {
    call.warnings.push_back(said(answer) +
                            ": several diplotypes StellarPGx cannot tell apart; none is used");
    call.ambiguous_phenotype = true; // its answer: no other caller fills the gap
  } else {
    call.diplotype = answer;
    if (said_of.status)
      call.phenotypes.emplace_back(*said_of.status);
  }
  for (std::string_view note : said_of.notes) {
    if (is_novel(note))
      continue; // already said
    if (call.diplotype && note.find(HYBRID) != std::string_view::npos) {
      call.warnings.push_back(said(note) +
                              ": a hybrid gene may change the phenotype; no Activity is used");
      call.ambiguous_phenotype = true;
    } else {
      call.warnings.push_back(said(note));
    }
  }
  return call;
}

} // namespace orvelle::stellarpgx
