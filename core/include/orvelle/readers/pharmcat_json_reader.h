// orvelle/readers/pharmcat_json_reader.h: the PharmCAT phenotype and report JSON readers.
//
// Gene reports sit under "geneReports" or "genes" (or "report"."genes"). Releases up to 3.0
// group them by phenotype source ({"CPIC": {GENE: report}, "DPWG": ...}); from 3.1 they are
// keyed by gene directly ({GENE: report}, no "phenotypeSource"). The readers take both: a
// member whose value is itself a gene report (an object with "geneSymbol") is read as one,
// every other member as a source section; the reports of "unannotatedGeneCalls" (PharmCAT 3.0)
// follow. A call is read from the first source diplotype, or from the recommendation
// diplotype where PharmCAT looks its guidance up with another diplotype than it called
// (readers/pharmcat_recommendation.h); PharmCAT's caveats on the gene travel with the call as
// warnings (readers/pharmcat_caveats.h).
#pragma once

#include "orvelle/constants.h"
#include "orvelle/json/document.h"
#include "orvelle/readers/ipgx_reader.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class PharmcatPhenotypeJsonReader : public IPgxReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_PHARMCAT_PHENOTYPE;
  /// Root members that may hold the gene reports, in the order they are tried.
  static constexpr std::array<std::string_view, 2> ROOT_KEYS = {"geneReports", "genes"};
  /// Root member of PharmCAT 3.0 listing gene reports without phenotype data, read after the
  /// others.
  static constexpr std::string_view UNANNOTATED_KEY = "unannotatedGeneCalls";

  using IPgxReader::IPgxReader;

  std::vector<RawCall> parse() override;
  std::string_view source_name() const override { return SOURCE_NAME; }
  /// The sample the file was made for (see sample_of), once it is read.
  std::optional<std::string> named_sample() const override { return sample_; }

  /// parse() on a document already read; notes the sample the file names.
  std::vector<RawCall> calls_of(const json::Value &root);

  /// The sample a PharmCAT output names: "matcherMetadata"."sampleId" (3.0 on), else the
  /// report's "title" (before 3.0 the only name it carries: the base name of the VCF, which
  /// PharmCAT extends by the sample's ID for each sample of a multi-sample VCF); nullopt when
  /// the file has neither as a non-empty text (a phenotype file before 3.0).
  static std::optional<std::string> sample_of(const json::Value &root);

  /// The object that maps section keys (or genes) to gene containers (or reports).
  /// Throws ValueError for a root that is not an object or holds no such object.
  const json::Value &extract_genes_by_source(const json::Value &data) const;

  /// The gene-report objects of one section's container (an object's values or an array's
  /// elements); a container of another type is logged and gives none.
  std::vector<const json::Value *> iterate_genes(std::string_view phenotype_source,
                                                 const json::Value &genes) const;

  /// The call of one gene report, or nullopt when the report is skipped (logged).
  /// `phenotype_source` is the section key, absent for a report keyed by gene.
  std::optional<RawCall> to_raw_call(const json::Value &gene_report,
                                     std::optional<std::string_view> phenotype_source) const;

  /// Given "name"s of "allele1" then "allele2", as texts.
  static std::vector<std::string> haplotype_names(const json::Value &diplotype);

  /// Absent for null; a text unchanged; anything else in the host's text form.
  static std::optional<std::string> as_text(const json::Value &value);

private:
  std::optional<std::string> sample_;
};

class PharmcatReportJsonReader : public PharmcatPhenotypeJsonReader {
public:
  static constexpr std::string_view SOURCE_NAME = constants::CALLER_PHARMCAT_REPORT;
  static constexpr std::array<std::string_view, 4> VERSION_KEYS = {"pharmcatVersion", "dataVersion",
                                                                   "title", "timestamp"};

  using PharmcatPhenotypeJsonReader::PharmcatPhenotypeJsonReader;

  std::string_view source_name() const override { return SOURCE_NAME; }

  /// Reads the file again and returns {pharmcatVersion, dataVersion, title, timestamp}, each
  /// as found on the root (null when missing). Throws ValueError for a non-object root.
  std::optional<json::Document> read_versions() const override;
  /// read_versions() on a document already read.
  json::Document versions_of(const json::Value &root) const;
  /// The calls and the versions from one reading of the file.
  std::vector<RawCall> parse_with_versions(const VersionsSink &take_versions) override;
};

} // namespace orvelle
