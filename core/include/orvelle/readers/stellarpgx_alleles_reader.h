// orvelle/readers/stellarpgx_alleles_reader.h: StellarPGx's <sample>_<gene>.alleles: the
// printed report of one gene of one sample, in headed sections (Result:, Activity score:,
// Metaboliser status: ...).
#pragma once

#include "orvelle/constants.h"
#include "orvelle/readers/ipgx_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class StellarPgxAllelesReader : public IPgxReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_STELLARPGX;
  /// The title line, after the gene: "CYP2D6 Star Allele Calling with StellarPGx".
  static constexpr std::string_view TITLE = " Star Allele Calling with StellarPGx";

  using IPgxReader::IPgxReader;

  /// The one call of the file: the Result's diplotype, the Metaboliser status as its
  /// phenotype. A Result that is no call (No_call, a possible novel allele) or offers several
  /// diplotypes gives no star allele and a warning quoting StellarPGx; its notes travel as
  /// warnings. Throws ValueError for a file without the title or a Result.
  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }

  /// The sample the file name gives, the part before "_<gene>.alleles" ("HG00436_cyp2d6",
  /// "SIM001_2d6": the gene's name or its end, in any case); nullopt for another name.
  std::optional<std::string> named_sample() const override;

private:
  std::optional<std::string> gene_;
};

} // namespace orvelle
