// orvelle/readers/starphase_tsv_reader.h: the gene call list pbStarPhase writes for PharmCAT,
// which is PharmCAT's outside-call format: gene, tab, diplotype, and optionally a phenotype and
// an activity score; lines starting with "#" are comments.
#pragma once

#include "orvelle/constants.h"
#include "orvelle/readers/ipgx_reader.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace orvelle {

class StarPhaseTsvReader : public IPgxReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_PBSTARPHASE;

  using IPgxReader::IPgxReader;

  /// The most cells a row may fill: gene, diplotype, phenotype, activity score.
  static constexpr std::size_t MAX_CELLS = 4;
  /// What the reader recognises, for the message that refuses another shape.
  static constexpr std::string_view EXPECTED =
      "a gene call list: \"#\" comment lines, then rows of a known gene symbol, a tab and a "
      "diplotype (optionally a phenotype and an activity score)";

  /// One call per row of a known gene with a diplotype, phenotype or activity score, in file
  /// order; a row of another gene is skipped (unknown_genes()). Throws ValueError "<path>: not a
  /// recognised caller output ..." for a row of more cells or a file without a known gene, and
  /// "<path>: no usable rows" when no row gives a call.
  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }
};

} // namespace orvelle
