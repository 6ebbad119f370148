// orvelle/records/raw_call.h: one gene call exactly as a reader found it, in the caller's
// own vocabulary. Built by the readers and never changed afterwards.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvelle {

struct RawCall {
  std::string gene;                     ///< gene symbol as reported
  std::optional<std::string> diplotype; ///< may be absent or empty
  std::vector<std::string> haplotypes;  ///< read by nobody; kept for the record
  std::vector<std::optional<std::string>> phenotypes;
  std::optional<std::string> source;           ///< caller identifier (a reader's source_name)
  std::optional<std::string> phenotype_source; ///< PharmCAT's guideline section
  std::optional<std::string> activity_score;   ///< PharmCAT only; read by nobody
  /// What the reader noticed about this call (several candidates, a caller's own doubt); each
  /// reaches the gene's result first among its warnings.
  std::vector<std::string> warnings;
  /// The caller gave several candidate diplotypes whose phenotypes differ: the normaliser maps
  /// no phenotype for it (a passthrough caller's terms stay untouched), and the merge fills
  /// that gap from no other call of the gene.
  bool ambiguous_phenotype = false;
  /// The caller's own names for its doubts about this call (PharmCAT message rule names); the
  /// gene rules say which of them leave the phenotype as uncertain as ambiguous_phenotype.
  std::vector<std::string> caveats;

  bool operator==(const RawCall &) const = default;
};

} // namespace orvelle
