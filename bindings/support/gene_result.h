// bindings/support/gene_result.h: a gene result's host objects: its entry of the result array
// (GeneOutcome.to_result, and run(return_list=True) straight from the core's results) and its
// entry of the sidecar's genes (GeneOutcome.to_provenance), and results handed over as
// GeneOutcome objects.
#pragma once

#include "support/nb.h"

#include "orvelle/records/gene_outcome.h"

#include <vector>

namespace orvelle::bind {

/// The four members Id, Name, StarAllele and Activity, in that order.
nb::dict result_object(const GeneOutcome &outcome);

/// Id, source, phenotypeSource and warnings, in that order.
nb::dict provenance_object(const GeneOutcome &outcome);

/// The results as a list of GeneOutcome objects. Their module is imported here, at the first
/// hand-over, rather than where the module that hands them over is imported: the command line
/// never hands one over, and loading the record modules would cost it a tenth of its start-up.
nb::list outcome_objects(std::vector<GeneOutcome> &&results);

} // namespace orvelle::bind
