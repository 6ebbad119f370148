// bindings/support/gene_result.h: a gene result's host objects: its entry of the result array
// (GeneOutcome.to_result, and run(return_list=True) straight from the core's results) and its
// entry of the sidecar's genes (GeneOutcome.to_provenance).
#pragma once

#include "support/nb.h"

#include "orvelle/records/gene_outcome.h"

namespace orvelle::bind {

/// The four members Id, Name, StarAllele and Activity, in that order.
nb::dict result_object(const GeneOutcome &outcome);

/// Id, source, phenotypeSource and warnings, in that order.
nb::dict provenance_object(const GeneOutcome &outcome);

} // namespace orvelle::bind
