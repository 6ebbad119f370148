// orvelle/readers/starphase_json_reader.h: the pbStarPhase summary JSON reader: one call per gene
// of "gene_details", and the tool and database versions for the provenance.
#pragma once

#include "orvelle/constants.h"
#include "orvelle/json/document.h"
#include "orvelle/readers/ipgx_reader.h"

#include <optional>
#include <string_view>
#include <vector>

namespace orvelle {

class StarPhaseJsonReader : public IPgxReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_PBSTARPHASE;

  using IPgxReader::IPgxReader;

  /// One call per gene, in code-point order of the symbols, from the gene's first diplotype.
  /// Throws ValueError when "gene_details" is missing or the document has an unexpected shape.
  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }

  /// Reads the file again and returns {pbstarphaseVersion, cpicVersion, hlaVersion,
  /// pharmvarVersion}, each as found (null when missing).
  std::optional<json::Document> read_versions() const override;
  /// The calls and the versions from one reading of the file.
  std::vector<RawCall> parse_with_versions(const VersionsSink &take_versions) override;

  /// parse() and read_versions() on a document already read.
  std::vector<RawCall> calls_of(const json::Value &root) const;
  json::Document versions_of(const json::Value &root) const;

private:
  std::optional<RawCall> to_raw_call(std::string_view gene, const json::Value &details) const;
  const json::Value &root_object(const json::Value &root) const;
};

} // namespace orvelle
