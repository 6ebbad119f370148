// orvelle/readers/stellarpgx_summary_reader.h: StellarPGx's cohort summary (its
// get_results_summary.sh, "<run>_summary.txt"): for each sample its name, a tab, and the lines of
// its .alleles report that hold a star allele or a "Possible ..." note, tab-joined. No header and
// no gene: the gene is that of the results folder it ran in.
#pragma once

#include "orvelle/constants.h"
#include "orvelle/readers/ipgx_reader.h"
#include "orvelle/readers/several_samples_reader.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class StellarPgxSummaryReader : public SeveralSamplesReader<IPgxReader> {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_STELLARPGX;
  /// What the reader recognises, for the message that refuses another shape.
  static constexpr std::string_view EXPECTED =
      "a StellarPGx cohort summary: no header, lines of a sample name, a tab and its result (a "
      "diplotype, No_call or a bracketed guess), in two to four tab-separated cells";

  using SeveralSamplesReader::SeveralSamplesReader;

  /// True when a file's first rows are the summary's: the first a sample name that is no known
  /// gene symbol (that is PharmCAT's outside-call file) and a result, in two to four cells; the
  /// second, when there is one, another such line or one that goes on with the first sample.
  static bool is_summary(std::span<const std::vector<std::string>> rows);

  /// For a folder scan of .txt files: why the file is passed over when it is no summary (a
  /// README, notes), as text that cannot be one; nullopt for a summary, and for a file that
  /// cannot be read, whose reading then says why.
  static std::optional<std::string> passed_over(const std::string &file_path);

  /// The gene of the file: the one known gene symbol its name holds as a word of its own
  /// ("run1_cyp2d6_summary.txt", "x-CYP2D6.summary.txt"), else its folder's whole name when
  /// that is a known gene symbol (StellarPGx writes "<out>/<gene>/"). Throws ValueError when
  /// neither names a gene, or the name names two.
  std::string gene() const;

  /// One call per sample of the summary (of the sample taken, see take_sample), its result read
  /// as a .alleles report's is: one diplotype is the call; No_call, a possible novel allele, a
  /// bracketed guess, alternatives or different results on several lines of one sample are no
  /// star allele, with a warning quoting StellarPGx. The summary holds no metaboliser status.
  /// Throws ValueError for a file of another shape, without samples, or without a gene.
  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }
};

} // namespace orvelle
