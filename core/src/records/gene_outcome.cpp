// core/src/records/gene_outcome.cpp: a gene's result: its checks, and its result object and
// sidecar entry as JSON.
#include "orvelle/records/gene_outcome.h"

#include "orvelle/constants.h"
#include "orvelle/errors.h"

#include <algorithm>

namespace orvelle {
namespace {

void optional_string(json::Writer &out, const std::optional<std::string> &value) {
  if (value)
    out.string(*value);
  else
    out.null();
}

} // namespace

GeneOutcome::GeneOutcome(std::optional<std::string> gene_, std::optional<std::string> star_allele_,
                         std::optional<std::string> activity_, std::optional<std::string> source_,
                         std::optional<std::string> phenotype_source_)
    : star_allele(std::move(star_allele_)), activity(std::move(activity_)),
      source(std::move(source_)), phenotype_source(std::move(phenotype_source_)) {
  if (!gene_ || gene_->empty())
    throw ValueError("gene symbol is required");
  gene = std::move(*gene_);
}

void GeneOutcome::add_warning(std::string_view warning) {
  if (warning.empty() || std::find(warnings.begin(), warnings.end(), warning) != warnings.end())
    return;
  warnings.emplace_back(warning);
}

void GeneOutcome::write_result(json::Writer &out) const {
  namespace c = constants;
  out.begin_object();
  out.key(c::ID).string(gene);
  out.key(c::NAME).string(gene);
  out.key(c::STAR_ALLELE);
  optional_string(out, star_allele);
  out.key(c::ACTIVITY);
  optional_string(out, activity);
  out.end_object();
}

void GeneOutcome::write_provenance(json::Writer &out) const {
  namespace c = constants;
  out.begin_object();
  out.key(c::ID).string(gene);
  out.key(c::SOURCE);
  optional_string(out, source);
  out.key(c::PROVENANCE_PHENOTYPE_SOURCE);
  optional_string(out, phenotype_source);
  out.key(c::WARNINGS).begin_array();
  for (const std::string &w : warnings)
    out.string(w);
  out.end_array();
  out.end_object();
}

} // namespace orvelle
