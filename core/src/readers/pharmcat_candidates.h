// core/src/readers/pharmcat_candidates.h: which of a PharmCAT gene report's diplotypes a call
// is read from, and what the reader notes about them on the call.
#pragma once

#include "orvelle/json/value.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvelle::pharmcat {

/// True for a diplotype whose "allele1" and "allele2" are both null: an outside call that
/// gives only a phenotype or an activity score, whose label PharmCAT builds from those
/// ("Normal Metabolizer (1.25)").
bool without_alleles(const json::Value &diplotype);

/// The one recommendation diplotype of a gene report, the diplotype PharmCAT looks its
/// guidance up with; nullptr when the report has none or several.
const json::Value *lookup_diplotype(const json::Value &gene_report);

/// True when the source diplotypes are the single haplotypes of an unphased DPYD or RYR1 call
/// (allele2 null, phenotype "n/a") that `recommended` combines into a diplotype.
bool single_haplotypes(const json::Value &source_diplotypes, const json::Value &recommended);

/// Adds the note on a call read from the first of several candidate diplotypes (`kind`
/// "source" or "recommendation"), naming them all; true when their phenotypes differ, which
/// leaves the call without an Activity.
bool note_candidates(const json::Value &candidates, std::string_view kind,
                     std::vector<std::string> &warnings);

/// Adds PharmCAT's finding that an outside call's phenotype or activity score is not the one
/// it expects, naming both.
void note_outside_mismatches(const json::Value &diplotype, std::vector<std::string> &warnings);

} // namespace orvelle::pharmcat
