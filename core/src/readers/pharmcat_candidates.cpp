// core/src/readers/pharmcat_candidates.cpp: the choice of a PharmCAT gene report's
// diplotypes, and the notes on candidates that differ.
#include "pharmcat_candidates.h"

#include "orvelle/text/host_text.h"

#include <algorithm>
#include <span>

namespace orvelle::pharmcat {
namespace {

bool member_is_object(const json::Value &object, std::string_view key) {
  const json::Value *value = object.find(key);
  return value != nullptr && value->is_object();
}

// repr() of a member as the host's dict.get gives it: None when missing.
std::string repr_or_none(const json::Value *value) {
  return value != nullptr ? text::repr(*value) : std::string("None");
}

std::string label_of(const json::Value &diplotype) { return repr_or_none(diplotype.find("label")); }

// The given phenotypes of a candidate diplotype as texts, to tell candidates apart.
std::vector<std::string> phenotype_texts(const json::Value &diplotype) {
  std::vector<std::string> texts;
  const json::Value *phenotypes = json::given(diplotype, "phenotypes");
  if (phenotypes == nullptr)
    return texts;
  if (!phenotypes->is_array())
    return {text::repr(*phenotypes)};
  for (const json::Value &phenotype : phenotypes->items())
    if (phenotype.truthy())
      texts.push_back(text::repr(phenotype));
  return texts;
}

std::string listed_labels(const json::Value &diplotypes) {
  std::string listed;
  for (const json::Value &entry : diplotypes.items())
    listed.append(listed.empty() ? "" : ", ").append(label_of(entry));
  return listed;
}

// Present and null: how PharmCAT writes an allele it does not have.
bool member_is_null(const json::Value &object, std::string_view key) {
  const json::Value *value = object.find(key);
  return value != nullptr && value->is_null();
}

} // namespace

bool without_alleles(const json::Value &diplotype) {
  return member_is_null(diplotype, "allele1") && member_is_null(diplotype, "allele2");
}

const json::Value *lookup_diplotype(const json::Value &gene_report) {
  const json::Value *recommended = json::given(gene_report, "recommendationDiplotypes");
  if (recommended == nullptr || !recommended->is_array() || recommended->size() != 1)
    return nullptr;
  const json::Value &only = recommended->items()[0];
  return only.is_object() ? &only : nullptr;
}

bool single_haplotypes(const json::Value &diplotypes, const json::Value &recommended) {
  for (const json::Value &entry : diplotypes.items())
    if (!entry.is_object() || !member_is_object(entry, "allele1") ||
        !member_is_null(entry, "allele2"))
      return false;
  return member_is_object(recommended, "allele1") && member_is_object(recommended, "allele2");
}

bool note_candidates(const json::Value &candidates, std::string_view kind,
                     std::vector<std::string> &warnings) {
  const std::span<const json::Value> items = candidates.items();
  const std::vector<std::string> first = phenotype_texts(items[0]);
  const bool differ = std::any_of(items.begin() + 1, items.end(), [&](const json::Value &entry) {
    return phenotype_texts(entry) != first;
  });
  std::string warning =
      std::to_string(items.size()) + " " + std::string(kind) + " diplotypes reported (";
  if (!differ) {
    warning += listed_labels(candidates) + "); using the first";
  } else {
    for (std::size_t i = 0; i < items.size(); ++i) {
      warning.append(i == 0 ? "" : ", ").append(label_of(items[i]));
      warning.append(": [").append(text::join(", ", phenotype_texts(items[i]))).append("]");
    }
    warning += "); using the first without an Activity, as their phenotypes differ";
  }
  warnings.push_back(std::move(warning));
  return differ;
}

void note_outside_mismatches(const json::Value &diplotype, std::vector<std::string> &warnings) {
  struct Check {
    std::string_view mismatch, value, name;
  };
  for (const Check &check :
       {Check{"outsidePhenotypeMismatch", "phenotypes", "phenotype"},
        Check{"outsideActivityScoreMismatch", "activityScore", "activity score"}}) {
    const json::Value *expected = diplotype.find(check.mismatch);
    if (expected == nullptr || expected->is_null())
      continue;
    warnings.push_back("outside " + std::string(check.name) + " " +
                       repr_or_none(diplotype.find(check.value)) +
                       " differs from the one PharmCAT expects, " + text::repr(*expected));
  }
}

} // namespace orvelle::pharmcat
