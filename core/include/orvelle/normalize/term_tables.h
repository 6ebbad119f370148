// orvelle/normalize/term_tables.h: the sections of the phenotype-terms and genotype-terms
// tables, indexed once. Views refer into the tables, which must outlive these objects.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/normalize/resolved.h"
#include "orvelle/normalize/term_index.h"

namespace orvelle::normalize {

/// Caller phenotype -> Orvelle Activity term: per gene first, then global.
struct PhenotypeTerms {
  explicit PhenotypeTerms(const json::Value &table);

  Resolved<GeneSections> genes;
  Resolved<TermIndex> global;
};

/// For genotype-guided genes: caller allele -> Orvelle allele, Orvelle diplotype -> Activity.
struct GenotypeTerms {
  explicit GenotypeTerms(const json::Value &table);

  Resolved<GeneSections> alleles;
  Resolved<GeneSections> diplotype_activity;
};

} // namespace orvelle::normalize
