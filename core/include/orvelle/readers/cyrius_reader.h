// orvelle/readers/cyrius_reader.h: Cyrius's CYP2D6 calls, one per sample, from its TSV
// (Sample, Genotype, Filter) or its JSON (an object keyed by sample).
#pragma once

#include "orvelle/constants.h"
#include "orvelle/json/value.h"
#include "orvelle/readers/ipgx_reader.h"
#include "orvelle/readers/several_samples_reader.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

struct SampleCall; // a call with its sample's name (readers/sample_rows.h)

class CyriusReader : public SeveralSamplesReader<IPgxReader> {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_CYRIUS;
  /// Cyrius calls nothing else, and names no gene in its files.
  static constexpr std::string_view GENE = "CYP2D6";
  static constexpr std::string_view PASS = "PASS";

  using SeveralSamplesReader::SeveralSamplesReader;

  /// True for the TSV's header: Sample, Genotype, Filter (cells trimmed).
  static bool is_cyrius_table(std::span<const std::string> header);
  /// True for the JSON: an object of samples, each an object with Cyrius's own members.
  static bool is_cyrius_json(const json::Value &root);

  /// One CYP2D6 call per row of the sample taken (see take_sample). A genotype Cyrius did not
  /// PASS is no star allele: its filter and genotype become the call's warning. A path ending
  /// in ".json" (before any ".gz") is read as the JSON, any other as the TSV. Throws ValueError
  /// for a file of neither shape.
  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }

  /// The call of one sample's Genotype and Filter as Cyrius wrote them (absent: null/None).
  static RawCall call_of(const std::optional<std::string> &genotype,
                         const std::optional<std::string> &filter);

private:
  std::vector<SampleCall> table_calls() const;
  std::vector<SampleCall> json_calls() const;
};

} // namespace orvelle
