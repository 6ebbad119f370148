// orvelle/readers/starphase_tsv_reader.h: the pbStarPhase two-column diplotype table
// (gene, tab, diplotype; lines starting with "#" are comments).
#pragma once

#include "orvelle/constants.h"
#include "orvelle/readers/ipgx_reader.h"

#include <string_view>
#include <vector>

namespace orvelle {

class StarPhaseTsvReader : public IPgxReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_PBSTARPHASE;

  using IPgxReader::IPgxReader;

  /// One call per row with a gene and a diplotype, in file order. Throws ValueError
  /// "<path>: no usable rows" when there is none.
  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }
};

} // namespace orvelle
