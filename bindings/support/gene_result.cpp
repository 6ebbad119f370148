// bindings/support/gene_result.cpp: a gene result's host objects.
#include "support/gene_result.h"

#include "orvelle/constants.h"

namespace orvelle::bind {
namespace {

namespace c = constants;

nb::str key(std::string_view name) { return nb::str(name.data(), name.size()); }

} // namespace

nb::dict result_object(const GeneOutcome &outcome) {
  nb::dict result;
  result[key(c::ID)] = outcome.gene;
  result[key(c::NAME)] = outcome.gene;
  result[key(c::STAR_ALLELE)] = outcome.star_allele;
  result[key(c::ACTIVITY)] = outcome.activity;
  return result;
}

nb::dict provenance_object(const GeneOutcome &outcome) {
  nb::dict provenance;
  provenance[key(c::ID)] = outcome.gene;
  provenance[key(c::SOURCE)] = outcome.source;
  provenance[key(c::PROVENANCE_PHENOTYPE_SOURCE)] = outcome.phenotype_source;
  provenance[key(c::WARNINGS)] = outcome.warnings;
  return provenance;
}

} // namespace orvelle::bind
