// core/src/readers/pharmcat_json_reader.cpp: PharmCAT's phenotype and report JSON read into
// calls, and the report's versions.
#include "orvelle/readers/pharmcat_json_reader.h"

#include "orvelle/errors.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"
#include "pharmcat_candidates.h"

#include <algorithm>

namespace orvelle {
namespace {

bool is_gene_report(const json::Value &value) {
  return value.is_object() && value.find("geneSymbol") != nullptr;
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
  std::string_view kind = "source";
  const json::Value *candidates = diplotypes;
  if (const json::Value *combined = pharmcat::combined_call(gene_report, *diplotypes)) {
    call.warnings.push_back(pharmcat::single_haplotypes_note(*diplotypes));
    kind = "recommendation";
    candidates = combined;
  }
  if (candidates->size() > 1) {
    const auto count = static_cast<std::int64_t>(candidates->size());
    const bool listed = kind == "source";
    if (phenotype_source)
      log::warning(listed ? "%s has %d source diplotypes for %s; using the first"
                          : "%s has %d recommendation diplotypes for %s; using the first",
                   {gene, count, std::string(*phenotype_source)});
    else
      log::warning(listed ? "%s has %d source diplotypes; using the first"
                          : "%s has %d recommendation diplotypes; using the first",
                   {gene, count});
    call.ambiguous_phenotype = pharmcat::note_candidates(*candidates, kind, call.warnings);
  }
  const json::Value &diplotype = candidates->items()[0];
  if (!diplotype.is_object())
    throw ValueError(file_path() + ": the first " + std::string(kind) + " diplotype of " + gene +
                     " is a " + std::string(host_type_name(diplotype)) + ", not an object");

  if (const json::Value *label = diplotype.find("label")) {
    call.diplotype = scalar_text(*label);
    if (!call.diplotype && !label->is_null()) {
      log_skip(gene, wrong_type("label", *label, file_path()));
      return std::nullopt;
    }
  }
  pharmcat::note_outside_mismatches(diplotype, call.warnings);
  // A label built from an outside phenotype or activity score is no diplotype.
  if (pharmcat::without_alleles(diplotype) && call.diplotype) {
    call.warnings.push_back("no diplotype given, only the label " + text::quoted(*call.diplotype));
    call.diplotype.reset();
  }
  call.haplotypes = haplotype_names(diplotype);
  if (const json::Value *phenotypes = json::given(diplotype, "phenotypes")) {
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
  if (const json::Value *score = diplotype.find("activityScore"))
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
