// bindings/support/gene_result.cpp: a gene result's host objects.
#include "support/gene_result.h"

#include "orvelle/constants.h"

namespace orvelle::bind {

namespace c = constants;

nb::dict result_object(const GeneOutcome &outcome) {
  nb::dict result;
  result[host_str(c::ID)] = outcome.gene;
  result[host_str(c::NAME)] = outcome.gene;
  result[host_str(c::STAR_ALLELE)] = outcome.star_allele;
  result[host_str(c::ACTIVITY)] = outcome.activity;
  return result;
}

nb::dict provenance_object(const GeneOutcome &outcome) {
  nb::dict provenance;
  provenance[host_str(c::ID)] = outcome.gene;
  provenance[host_str(c::SOURCE)] = outcome.source;
  provenance[host_str(c::PROVENANCE_PHENOTYPE_SOURCE)] = outcome.phenotype_source;
  provenance[host_str(c::WARNINGS)] = outcome.warnings;
  return provenance;
}

nb::list outcome_objects(std::vector<GeneOutcome> &&results) {
  nb::module_::import_("OrvellePgxParser.Models.GeneOutcome");
  nb::list list;
  for (GeneOutcome &result : results)
    list.append(nb::cast(std::move(result)));
  return list;
}

} // namespace orvelle::bind
