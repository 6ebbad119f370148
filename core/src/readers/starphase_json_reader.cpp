// core/src/readers/starphase_json_reader.cpp: pbStarPhase's summary JSON read into calls, and
// its tool and database versions.
#include "orvelle/readers/starphase_json_reader.h"

#include "orvelle/errors.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace orvelle {
namespace {

std::string type_of(const json::Value &value) { return std::string(host_type_name(value)); }

const json::Value &diplotype_of(const json::Value &candidate) {
  const json::Value *diplotype = candidate.is_object() ? candidate.find("diplotype") : nullptr;
  return diplotype != nullptr ? *diplotype : candidate;
}

// A candidate diplotype as an unordered pair of its haplotypes (pbStarPhase itself counts
// "*1/*2" and "*2/*1" as one diplotype); the text of anything else.
std::string candidate_key(const json::Value &candidate) {
  const json::Value *hap1 = candidate.is_object() ? candidate.find("hap1") : nullptr;
  const json::Value *hap2 = candidate.is_object() ? candidate.find("hap2") : nullptr;
  if (hap1 == nullptr || hap2 == nullptr)
    return text::repr(diplotype_of(candidate));
  std::array<std::string, 2> haplotypes = {text::repr(*hap1), text::repr(*hap2)};
  std::sort(haplotypes.begin(), haplotypes.end());
  return haplotypes[0] + "/" + haplotypes[1];
}

// True when every candidate is the first one, in either haplotype order.
bool candidates_agree(const json::Value &candidates) {
  const std::span<const json::Value> items = candidates.items();
  const std::string first = candidate_key(items[0]);
  return std::all_of(items.begin() + 1, items.end(),
                     [&](const json::Value &item) { return candidate_key(item) == first; });
}

std::string listed_diplotypes(const json::Value &candidates) {
  std::string listed;
  for (const json::Value &item : candidates.items())
    listed.append(listed.empty() ? "" : ", ").append(text::repr(diplotype_of(item)));
  return listed;
}

} // namespace

const json::Value &StarPhaseJsonReader::root_object(const json::Value &root) const {
  if (!root.is_object())
    throw ValueError(file_path() + ": expected a JSON object at the root, found a " +
                     type_of(root));
  return root;
}

std::vector<RawCall> StarPhaseJsonReader::parse() { return calls_of(load_json().root()); }

std::vector<RawCall> StarPhaseJsonReader::calls_of(const json::Value &root) const {
  const json::Value *gene_details = root_object(root).find("gene_details");
  if (gene_details == nullptr || !gene_details->is_object())
    throw ValueError(file_path() + ": no gene_details section found");

  std::vector<const json::Member *> genes;
  for (const json::Member &member : gene_details->members())
    genes.push_back(&member);
  // Byte order of UTF-8 (and of the WTF-8 form of lone surrogates) is code-point order.
  std::sort(genes.begin(), genes.end(),
            [](const json::Member *a, const json::Member *b) { return a->key < b->key; });

  std::vector<RawCall> calls;
  for (const json::Member *gene : genes)
    if (auto call = to_raw_call(gene->key, gene->value))
      calls.push_back(std::move(*call));
  return calls;
}

std::optional<RawCall> StarPhaseJsonReader::to_raw_call(std::string_view gene,
                                                        const json::Value &details) const {
  if (!details.is_object()) {
    log_skip(gene, "unexpected payload type " + type_of(details));
    return std::nullopt;
  }
  const json::Value *diplotypes = json::given(details, "diplotypes");
  const json::Value *core = json::given(details, "simple_diplotypes");
  std::string_view list_name = "diplotypes";
  if (diplotypes == nullptr) {
    diplotypes = core;
    list_name = "simple_diplotypes";
  }
  if (diplotypes == nullptr) {
    log_skip(gene, "no diplotypes called");
    return std::nullopt;
  }
  if (!diplotypes->is_array())
    throw ValueError(file_path() + ": " + std::string(list_name) + " of " + std::string(gene) +
                     " is a " + type_of(*diplotypes) + ", not a list");
  // pbStarPhase's own core-allele form of each candidate ("*1.001 + *1.002" is "*1x2"), where
  // it writes one: one per candidate, in the same order.
  if (core == nullptr || !core->is_array() || core->size() != diplotypes->size())
    core = diplotypes;
  else
    list_name = "simple_diplotypes";
  const json::Value &first = core->items()[0];
  if (!first.is_object())
    throw ValueError(file_path() + ": the first of the " + std::string(list_name) + " of " +
                     std::string(gene) + " is a " + type_of(first) + ", not an object");

  RawCall call;
  call.gene = std::string(gene);
  if (diplotypes->size() > 1) {
    log::warning("%s has %d pbStarPhase diplotypes; using the first",
                 {std::string(gene), static_cast<std::int64_t>(diplotypes->size())});
    // Compared in pbStarPhase's core form where it gives one: its report keeps core alleles.
    const bool agree = candidates_agree(*core);
    const std::string reported = std::to_string(diplotypes->size()) +
                                 " pbStarPhase diplotypes reported (" +
                                 listed_diplotypes(*diplotypes) + ")";
    // Candidates that differ leave no star allele, as pbStarPhase's own single-answer table
    // writes "Multiple/Multiple" for them; nor may another caller's Activity, which belongs to
    // a diplotype of its own, fill the gap.
    if (!agree) {
      call.warnings.push_back(reported + "; they differ, so none is used");
      call.ambiguous_phenotype = true;
      call.source = std::string(source_name());
      return call;
    }
    call.warnings.push_back(reported + "; using the first");
  }
  // Values are taken as found; a number or truth value reads as its text, while a list or an
  // object cannot stand for a diplotype or an allele, so the gene is dropped.
  if (const json::Value *diplotype = first.find("diplotype"); diplotype && !diplotype->is_null()) {
    call.diplotype = scalar_text(*diplotype);
    if (!call.diplotype) {
      log_skip(gene, wrong_type("diplotype", *diplotype, file_path()));
      return std::nullopt;
    }
  }
  for (std::string_view key : {"hap1", "hap2"}) {
    const json::Value *haplotype = json::given(first, key);
    if (haplotype == nullptr)
      continue;
    std::optional<std::string> name = scalar_text(*haplotype);
    if (!name) {
      log_skip(gene, wrong_type(key, *haplotype, file_path()));
      return std::nullopt;
    }
    call.haplotypes.push_back(std::move(*name));
  }
  call.source = std::string(source_name());
  return call;
}

std::optional<json::Document> StarPhaseJsonReader::read_versions() const {
  return versions_of(load_json().root());
}

std::vector<RawCall> StarPhaseJsonReader::parse_with_versions(const VersionsSink &take_versions) {
  return calls_and_versions_of(*this, take_versions);
}

json::Document StarPhaseJsonReader::versions_of(const json::Value &document) const {
  const json::Value &root = root_object(document);
  const json::Value *metadata = json::given(root, "database_metadata");
  if (metadata != nullptr && !metadata->is_object())
    throw ValueError(file_path() + ": database_metadata is a " + type_of(*metadata) +
                     ", not an object");
  const json::Value &database = metadata != nullptr ? *metadata : json::null_value;

  struct Version {
    std::string_view name;
    const json::Value &holder;
    std::string_view key;
  };
  const std::array<Version, 4> versions = {{{"pbstarphaseVersion", root, "pbstarphase_version"},
                                            {"cpicVersion", database, "cpic_version"},
                                            {"hlaVersion", database, "hla_version"},
                                            {"pharmvarVersion", database, "pharmvar_version"}}};
  json::DocumentBuilder builder;
  std::vector<json::Member> members;
  for (const Version &version : versions) {
    const json::Value *value = version.holder.find(version.key);
    members.push_back({version.name, value != nullptr ? builder.copy(*value) : json::Value()});
  }
  json::Value object = builder.object(members);
  return builder.finish(object);
}

} // namespace orvelle
