// orvelle/records/gene_outcome.h: one gene's result in the platform's terms, with the
// provenance that goes to the sidecar.
#pragma once

#include "orvelle/json/write.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class GeneOutcome {
public:
  /// Throws ValueError "gene symbol is required" when `gene` is absent or empty.
  explicit GeneOutcome(std::optional<std::string> gene,
                       std::optional<std::string> star_allele = std::nullopt,
                       std::optional<std::string> activity = std::nullopt,
                       std::optional<std::string> source = std::nullopt,
                       std::optional<std::string> phenotype_source = std::nullopt);

  /// Appends `warning` unless it is empty or already present (first-added order is kept).
  void add_warning(std::string_view warning);

  /// The four-member result object: Id, Name, StarAllele, Activity (absent as null).
  void write_result(json::Writer &out) const;
  /// The provenance object: Id, source, phenotypeSource, warnings.
  void write_provenance(json::Writer &out) const;

  std::string gene; ///< stored exactly as passed
  std::optional<std::string> star_allele;
  std::optional<std::string> activity;
  std::optional<std::string> source;
  std::optional<std::string> phenotype_source;
  std::vector<std::string> warnings;
};

} // namespace orvelle
