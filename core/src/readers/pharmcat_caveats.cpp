// core/src/readers/pharmcat_caveats.cpp: PharmCAT's messages, missing positions and uncalled
// haplotypes of a gene report as warnings on its call.
#include "pharmcat_caveats.h"

#include "orvelle/text/host_text.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::pharmcat {
namespace {

// The message kinds (exception_type) that doubt the call; PharmCAT's other kinds are notes,
// footnotes and drug-report texts (reporter/messages.json, MessageHelper).
constexpr std::array<std::string_view, 2> DOUBTING_KINDS = {"ambiguity", "gene-specific warnings"};

// Long lists (a chip misses most of G6PD's 182 haplotypes) are cut after this many names.
constexpr std::size_t LISTED = 10;

std::optional<std::string_view> text_member(const json::Value &object, std::string_view key) {
  const json::Value *value = object.find(key);
  if (value == nullptr || !value->is_string())
    return std::nullopt;
  return value->as_string();
}

std::string listed(const std::vector<std::string> &names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < LISTED; ++i)
    text.append(i == 0 ? "" : ", ").append(names[i]);
  if (names.size() > LISTED)
    text += " and " + std::to_string(names.size() - LISTED) + " more";
  return text;
}

void note_messages(const json::Value &gene_report, RawCall &call) {
  const json::Value *messages = json::given(gene_report, "messages");
  if (messages == nullptr || !messages->is_array())
    return;
  for (const json::Value &message : messages->items()) {
    if (!message.is_object())
      continue;
    const auto kind = text_member(message, "exception_type");
    const auto rule = text_member(message, "rule_name");
    const auto words = text_member(message, "message");
    if (!kind || !rule || !words ||
        std::find(DOUBTING_KINDS.begin(), DOUBTING_KINDS.end(), *kind) == DOUBTING_KINDS.end())
      continue;
    call.warnings.push_back("PharmCAT (" + std::string(*rule) +
                            "): " + std::string(text::strip(*words)));
    call.caveats.emplace_back(*rule);
  }
}

// A variant's name: its rsID, else chromosome:position.
std::string variant_name(const json::Value &variant) {
  if (const auto rsid = text_member(variant, "dbSnpId"); rsid && !rsid->empty())
    return std::string(*rsid);
  std::string name;
  if (const auto chromosome = text_member(variant, "chromosome"))
    name.append(*chromosome).append(":");
  if (const json::Value *position = variant.find("position"))
    name += text::to_text(*position);
  return name;
}

void note_missing_positions(const json::Value &gene_report, RawCall &call) {
  const json::Value *variants = json::given(gene_report, "variants");
  if (variants == nullptr || !variants->is_array())
    return;
  std::vector<std::string> missing;
  for (const json::Value &variant : variants->items()) {
    if (!variant.is_object())
      continue;
    // Present and null or blank: PharmCAT read the position, the sample has no genotype.
    const json::Value *genotype = variant.find("call");
    if (genotype != nullptr &&
        (genotype->is_null() ||
         (genotype->is_string() && text::strip(genotype->as_string()).empty())))
      missing.push_back(variant_name(variant));
  }
  if (!missing.empty())
    call.warnings.push_back("PharmCAT: missing positions: " + std::to_string(missing.size()) +
                            " of " + std::to_string(variants->size()) + " positions of " +
                            call.gene + " have no genotype in the sample (" + listed(missing) +
                            ")");
}

void note_uncalled_haplotypes(const json::Value &gene_report, RawCall &call) {
  const json::Value *uncalled = json::given(gene_report, "uncalledHaplotypes");
  if (uncalled == nullptr || !uncalled->is_array())
    return;
  std::vector<std::string> names;
  for (const json::Value &name : uncalled->items())
    if (name.is_string())
      names.emplace_back(name.as_string());
  if (!names.empty())
    call.warnings.push_back("PharmCAT: uncalled haplotypes (defining positions missing): " +
                            listed(names));
}

} // namespace

void note_caveats(const json::Value &gene_report, RawCall &call) {
  note_messages(gene_report, call);
  note_missing_positions(gene_report, call);
  note_uncalled_haplotypes(gene_report, call);
}

} // namespace orvelle::pharmcat
