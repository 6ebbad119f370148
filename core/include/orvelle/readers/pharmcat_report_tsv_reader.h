// orvelle/readers/pharmcat_report_tsv_reader.h: PharmCAT's calls-only report (*.report.tsv,
// PharmCAT 3.0+): a "PharmCAT <version>" line, a header, then one row per gene; the merged form
// (merged.report.tsv) leads with a "Sample ID" column and holds the rows of many samples.
#pragma once

#include "orvelle/constants.h"
#include "orvelle/readers/ipgx_reader.h"
#include "orvelle/readers/several_samples_reader.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class PharmcatReportTsvReader : public SeveralSamplesReader<IPgxReader> {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_PHARMCAT_REPORT;
  static constexpr std::string_view VERSION_PREFIX = "PharmCAT ";
  static constexpr std::string_view GENE_COLUMN = "Gene";
  static constexpr std::string_view SAMPLE_COLUMN = "Sample ID";
  static constexpr std::string_view EXPECTED =
      "PharmCAT's calls-only report (*.report.tsv): a \"PharmCAT <version>\" line, then a header "
      "naming Gene and Source Diplotype";

  /// The columns one call is read from: the diplotype PharmCAT called, or the one it looks its
  /// recommendations up with.
  struct CallColumns {
    std::string_view diplotype, phenotype, activity_score;
  };
  static constexpr CallColumns SOURCE_COLUMNS = {"Source Diplotype", "Phenotype", "Activity Score"};
  static constexpr CallColumns RECOMMENDATION_COLUMNS = {"Recommendation Lookup Diplotype",
                                                         "Recommendation Lookup Phenotype",
                                                         "Recommendation Lookup Activity Score"};
  static constexpr std::array<std::string_view, 2> HAPLOTYPE_COLUMNS = {"Haplotype 1",
                                                                        "Haplotype 2"};

  using SeveralSamplesReader::SeveralSamplesReader;

  /// True for a file whose first line starts with "PharmCAT " and whose second (the header)
  /// names Gene and Source Diplotype.
  static bool is_report_tsv(std::span<const std::vector<std::string>> rows);

  /// One call per row of a known gene, in file order, read as the report JSON's gene is: the
  /// source diplotype (the first of several joined by " OR "), or the recommendation columns
  /// where the source lists single haplotypes joined by " AND " (unphased DPYD, RYR1). Of a
  /// merged file only one sample's rows (see take_sample). Throws ValueError "<path>: not a
  /// recognised caller output ..." for another layout or a file without a known gene.
  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }

  /// {"pharmcatVersion": the version of the first line}.
  std::optional<json::Document> read_versions() const override;
};

} // namespace orvelle
