// orvelle/readers/aldy_reader.h: Aldy's default output (<input>.<gene>.aldy): one sample and
// gene, its equally good solutions each opened by a "#Solution N:" line, then one row per
// variant and allele copy.
#pragma once

#include "orvelle/constants.h"
#include "orvelle/readers/ipgx_reader.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class AldyReader : public IPgxReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_ALDY;

  using IPgxReader::IPgxReader;

  /// True for Aldy's header: #Sample, Gene, SolutionID, Major, Minor, ... (cells trimmed).
  static bool is_aldy_table(std::span<const std::string> header);

  /// One call per gene: the Major column of its solutions when they agree, with the
  /// solution's cpic= word as the phenotype; none, and a warning naming each, when they
  /// differ. Throws ValueError for an empty file (a failed Aldy run writes nothing), a file
  /// without Aldy's header or rows, or rows of more than one sample.
  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }

  /// After parse: the sample of the Sample column.
  std::optional<std::string> named_sample() const override { return sample_; }

  /// One solution as Aldy wrote it: its number, its Major diplotype, and the text after
  /// "#Solution N: " (the alleles, then "; gene=...; cpic=...").
  struct Solution {
    std::string id;
    std::string major;
    std::string line;
  };
  /// The call of one gene's solutions, in file order.
  static RawCall call_of(std::string_view gene, std::span<const Solution> solutions);

private:
  std::optional<std::string> sample_;
};

} // namespace orvelle
