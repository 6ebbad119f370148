// core/src/readers/pharmcat_json_reader.cpp: PharmCAT's phenotype and report JSON read into
// calls, and the report's versions.
#include "orvelle/readers/pharmcat_json_reader.h"

#include "orvelle/errors.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"
#include "pharmcat_candidates.h"
#include "pharmcat_caveats.h"
#include "pharmcat_recommendation.h"

#include <algorithm>

namespace orvelle {
namespace {

bool is_gene_report(const json::Value &value) {
  return value.is_object() && value.find("geneSymbol") != nullptr;
}

std::string label_text(const json::Value &diplotype) {
  const json::Value *label = diplotype.is_object() ? diplotype.find("label") : nullptr;
  return label != nullptr && label->is_string() ? std::string(label->as_string()) : std::string();
}

// The gene report's diplotypes put to the rule every reader of PharmCAT output follows.
std::optional<pharmcat::InferredReading> inferred_reading(std::string_view gene,
                                                          const json::Value &diplotypes,
                                                          const json::Value &recommended) {
  pharmcat::LookupDiplotypes reported;
  for (const json::Value &entry : diplotypes.items())
    reported.source_labels.push_back(label_text(entry));
  reported.single_haplotypes = pharmcat::single_haplotypes(diplotypes, recommended);
  reported.recommendation_label = label_text(recommended);
  reported.inferred = json::given(recommended, "inferred") != nullptr;
  return pharmcat::inferred_reading(gene, reported);
}

} // namespace

std::vector<RawCall> PharmcatPhenotypeJsonReader::parse() { return calls_of(load_json().root()); }

std::vector<RawCall> PharmcatPhenotypeJsonReader::calls_of(const json::Value &root) {
  const json::Value &genes_by_source = extract_genes_by_source(root);
  sample_ = sample_of(root);
  std::vector<RawCall> calls;
  for (const json::Member &member : genes_by_source.members()) {
    if (is_gene_report(member.value)) {
      if (auto call = to_raw_call(member.value, std::nullopt))
        calls.push_back(std::move(*call));
      continue;
    }
    for (const json::Value *report : iterate_genes(member.key, member.value))
      if (auto call = to_raw_call(*report, member.key))
        calls.push_back(std::move(*call));
  }
  // PharmCAT 3.0 lists apart the genes it called but has no phenotype data for (NAT2), with
  // the phenotype source "UNKNOWN": calls without a phenotype or a source of one.
  if (const json::Value *unannotated = root.find(UNANNOTATED_KEY);
      unannotated != nullptr && unannotated->is_array())
    for (const json::Value *report : iterate_genes(UNANNOTATED_KEY, *unannotated))
      if (auto call = to_raw_call(*report, std::nullopt)) {
        call->phenotype_source.reset();
        call->warnings.push_back("PharmCAT has no phenotype data for " + call->gene + " (" +
                                 std::string(UNANNOTATED_KEY) + ")");
        calls.push_back(std::move(*call));
      }
  return calls;
}

std::optional<std::string> PharmcatPhenotypeJsonReader::sample_of(const json::Value &root) {
  auto text_of = [](const json::Value *value) -> std::optional<std::string> {
    if (value == nullptr || !value->is_string() || text::strip(value->as_string()).empty())
      return std::nullopt;
    return std::string(value->as_string());
  };
  if (const json::Value *metadata = root.find("matcherMetadata");
      metadata != nullptr && metadata->is_object())
    if (auto sample = text_of(metadata->find("sampleId")))
      return sample;
  return text_of(root.find("title"));
}

const json::Value &
PharmcatPhenotypeJsonReader::extract_genes_by_source(const json::Value &data) const {
  if (!data.is_object())
    throw ValueError(file_path() + ": expected a JSON object at the root");
  for (std::string_view key : ROOT_KEYS)
    if (const json::Value *value = data.find(key); value != nullptr && value->is_object())
      return *value;
  if (const json::Value *report = data.find("report"); report != nullptr && report->is_object())
    if (const json::Value *genes = report->find("genes"); genes != nullptr && genes->is_object())
      return *genes;

  std::vector<std::string_view> keys;
  for (const json::Member &member : data.members())
    keys.push_back(member.key);
  std::sort(keys.begin(), keys.end()); // byte order of UTF-8 is code-point order
  throw ValueError(file_path() +
                   ": no gene reports found (top-level keys: " + text::join(", ", keys) + ")");
}

std::vector<const json::Value *>
PharmcatPhenotypeJsonReader::iterate_genes(std::string_view phenotype_source,
                                           const json::Value &genes) const {
  std::vector<const json::Value *> reports;
  if (genes.is_object()) {
    for (const json::Member &member : genes.members())
      if (member.value.is_object())
        reports.push_back(&member.value);
  } else if (genes.is_array()) {
    for (const json::Value &item : genes.items())
      if (item.is_object())
        reports.push_back(&item);
  } else {
    log::warning("Unsupported gene container for source %s: %s",
                 {std::string(phenotype_source), std::string(host_type_name(genes))});
  }
  return reports;
}

std::optional<RawCall>
PharmcatPhenotypeJsonReader::to_raw_call(const json::Value &gene_report,
                                         std::optional<std::string_view> phenotype_source) const {
  const json::Value *gene_value = json::given(gene_report, "geneSymbol");
  if (gene_value == nullptr) {
    log::warning("Gene report without geneSymbol in %s", {file_path()});
    return std::nullopt;
  }
  if (!gene_value->is_string()) {
    log_skip(text::to_text(*gene_value), wrong_type("geneSymbol", *gene_value, file_path()));
    return std::nullopt;
  }
  const std::string gene(gene_value->as_string());

  const json::Value *diplotypes = json::given(gene_report, "sourceDiplotypes");
  if (diplotypes == nullptr) {
    log_skip(gene, phenotype_source
                       ? "no sourceDiplotypes for source " + std::string(*phenotype_source)
                       : std::string("no sourceDiplotypes"));
    return std::nullopt;
  }
  if (!diplotypes->is_array())
    throw ValueError(file_path() + ": sourceDiplotypes of " + gene + " is a " +
                     std::string(host_type_name(*diplotypes)) + ", not a list");

  RawCall call;
  call.gene = gene;
  // The diplotype the phenotype is read from, and the one whose label and haplotypes the call
  // shows: the first source diplotype, unless PharmCAT looks its guidance up with another.
  const json::Value *diplotype = &diplotypes->items()[0];
  const json::Value *named = diplotype;
  bool inferred = false;
  if (const json::Value *recommended = pharmcat::lookup_diplotype(gene_report)) {
    if (auto reading = inferred_reading(gene, *diplotypes, *recommended)) {
      call.warnings.push_back(std::move(reading->warning));
      diplotype = recommended;
      named = reading->shows_recommendation ? recommended : named;
      inferred = true;
    }
  }
  // Several candidates matter only where PharmCAT did not choose one for its guidance.
  if (!inferred && diplotypes->size() > 1) {
    const auto count = static_cast<std::int64_t>(diplotypes->size());
    if (phenotype_source)
      log::warning("%s has %d source diplotypes for %s; using the first",
                   {gene, count, std::string(*phenotype_source)});
    else
      log::warning("%s has %d source diplotypes; using the first", {gene, count});
    call.ambiguous_phenotype = pharmcat::note_candidates(*diplotypes, "source", call.warnings);
  }
  pharmcat::note_caveats(gene_report, call);
  if (!named->is_object()) // a recommendation diplotype is always an object
    throw ValueError(file_path() + ": the first source diplotype of " + gene + " is a " +
                     std::string(host_type_name(*named)) + ", not an object");

  if (const json::Value *label = named->find("label")) {
    call.diplotype = scalar_text(*label);
    if (!call.diplotype && !label->is_null()) {
      log_skip(gene, wrong_type("label", *label, file_path()));
      return std::nullopt;
    }
  }
  pharmcat::note_outside_mismatches(*diplotype, call.warnings);
  // A label built from an outside phenotype or activity score is no diplotype.
  if (pharmcat::without_alleles(*named) && call.diplotype) {
    call.warnings.push_back("no diplotype given, only the label " + text::quoted(*call.diplotype));
    call.diplotype.reset();
  }
  call.haplotypes = haplotype_names(*named);
  if (const json::Value *phenotypes = json::given(*diplotype, "phenotypes")) {
    if (!phenotypes->is_array()) {
      log_skip(gene, wrong_type("phenotypes", *phenotypes, file_path()));
      return std::nullopt;
    }
    for (const json::Value &phenotype : phenotypes->items()) {
      if (!phenotype.truthy())
        continue;
      std::optional<std::string> term = scalar_text(phenotype);
      if (!term) {
        log_skip(gene, wrong_type("a phenotype", phenotype, file_path()));
        return std::nullopt;
      }
      call.phenotypes.emplace_back(std::move(term));
    }
  }
  call.source = std::string(source_name());
  if (const json::Value *source = json::given(gene_report, "phenotypeSource"))
    call.phenotype_source = as_text(*source);
  else if (phenotype_source)
    call.phenotype_source = std::string(*phenotype_source);
  if (const json::Value *score = diplotype->find("activityScore"))
    call.activity_score = as_text(*score);
  return call;
}

std::vector<std::string>
PharmcatPhenotypeJsonReader::haplotype_names(const json::Value &diplotype) {
  std::vector<std::string> names;
  for (std::string_view allele : {"allele1", "allele2"}) {
    const json::Value *value = diplotype.find(allele);
    if (value == nullptr || !value->is_object())
      continue;
    if (const json::Value *name = json::given(*value, "name"))
      names.push_back(*as_text(*name));
  }
  return names;
}

std::optional<std::string> PharmcatPhenotypeJsonReader::as_text(const json::Value &value) {
  if (value.is_null())
    return std::nullopt;
  return text::to_text(value);
}

std::optional<json::Document> PharmcatReportJsonReader::read_versions() const {
  return versions_of(load_json().root());
}

std::vector<RawCall>
PharmcatReportJsonReader::parse_with_versions(const VersionsSink &take_versions) {
  return calls_and_versions_of(*this, take_versions);
}

json::Document PharmcatReportJsonReader::versions_of(const json::Value &root) const {
  if (!root.is_object())
    throw ValueError(file_path() + ": expected a JSON object at the root");
  json::DocumentBuilder builder;
  std::vector<json::Member> members;
  for (std::string_view key : VERSION_KEYS) {
    const json::Value *value = root.find(key);
    members.push_back({key, value != nullptr ? builder.copy(*value) : json::Value()});
  }
  json::Value versions = builder.object(members);
  return builder.finish(versions);
}

} // namespace orvelle
