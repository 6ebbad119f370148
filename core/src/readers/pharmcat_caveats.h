// core/src/readers/pharmcat_caveats.h: what PharmCAT says may be wrong with a gene's call,
// carried onto the call as warnings in PharmCAT's own words.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/records/raw_call.h"

namespace orvelle::pharmcat {

/// Adds to `call` the caveats of `gene_report`:
/// - each message of the kinds that doubt the call ("ambiguity": a genotype that cannot be
///   ruled out without phased data or a missing position; "gene-specific warnings": an allele
///   whose defining position is missing), quoted with its rule name, which also goes to
///   `call.caveats` (the mapping tables say which of them leave the phenotype uncertain);
/// - the allele-defining positions the sample has no genotype for (variants whose call is
///   blank), and the haplotypes PharmCAT could not call for want of them
///   ("uncalledHaplotypes").
void note_caveats(const json::Value &gene_report, RawCall &call);

} // namespace orvelle::pharmcat
