// core/tests/merge_test.cpp: the driver's merge over the caller-shaped files of tests/fixtures/
// with the packaged mapping tables: which caller's call stands for a gene, when callers
// disagree, which genes only pbStarPhase reported are dropped, and what the host is told.
#include "orvelle/convert/orvelle_pgx_parser.h"
#include "orvelle/testing/stand_in_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvelle {
namespace {

using Lines = std::vector<std::string>;

std::string fixture(std::string_view name) { return ORVELLE_TEST_FIXTURES "/" + std::string(name); }

/// Keeps the format of every record it is sent.
class RecordingHost final : public testing::StandInHost {
public:
  bool log_enabled(log::Level) override { return true; }
  void log(log::Level, const char *format, std::span<const log::Arg>) override {
    formats.emplace_back(format);
  }
  Lines formats;
};

/// A result in one line: gene, star allele and Activity ("-" when absent), the caller.
std::string summary(const GeneOutcome &outcome) {
  return outcome.gene + " " + outcome.star_allele.value_or("-") + " | " +
         outcome.activity.value_or("-") + " | " + outcome.source.value_or("-");
}

class Merge : public ::testing::Test {
protected:
  std::vector<GeneOutcome> convert(std::initializer_list<std::string_view> names,
                                   bool recover = true) {
    ConversionRequest request;
    for (std::string_view name : names)
      request.input_files.push_back(fixture(name));
    request.recover_dropped_genes = recover;
    driver_.emplace(std::move(request));
    std::vector<GeneOutcome> results = driver_->parse_files();
    summaries_.clear();
    for (const GeneOutcome &result : results)
      summaries_.push_back(summary(result));
    return results;
  }
  const GeneOutcome &gene(const std::vector<GeneOutcome> &results, std::string_view symbol) {
    for (const GeneOutcome &result : results)
      if (result.gene == symbol)
        return result;
    throw std::out_of_range("no result for " + std::string(symbol));
  }

  RecordingHost host_;
  testing::HostInstalled installed_{host_};
  std::optional<OrvellePgxParser> driver_;
  Lines summaries_;
};

TEST_F(Merge, PharmcatOutranksPbStarPhaseAndKeepsOnlyRecoverableGenes) {
  auto results =
      convert({"pharmcat/inferred_and_caveats.pharmcat.phenotype.json", "writer.pbstarphase.json"});
  EXPECT_EQ(summaries_,
            (Lines{"CYP2C8 - | - | pbstarphase",
                   "CYP2D6 *1/*2x3 | Ultrarapid Metabolizer | pharmcat_phenotype",
                   "CYP3A5 *1/*1 | - | pharmcat_phenotype",
                   "DPYD Reference/[c.85T>C (*9A)+c.1905+1G>A (*2A)] | Intermediate Metabolizer | "
                   "pharmcat_phenotype",
                   "G6PD B (reference)/Mt Sinai | G6PD Variable | pharmcat_phenotype",
                   "NAT2 *1/*1 | - | pharmcat_phenotype", "NUDT15 *1/*2 | - | pharmcat_phenotype",
                   "RYR1 Reference/[c.1021G>A+c.6617C>T] | Malignant Hyperthermia Susceptibility | "
                   "pharmcat_phenotype",
                   "SLCO1B1 - | Decreased Function | pharmcat_phenotype",
                   "TPMT *1/*3A | - | pharmcat_phenotype"}));
  // The lower-ranked caller's other diplotype is named, never used.
  EXPECT_EQ(gene(results, "CYP2D6").warnings.back(),
            "pbstarphase called '*68+*4/*4'; not used, as pharmcat_phenotype ranks higher");
  // A caveat that allows another phenotype leaves the Activity empty, saying why.
  EXPECT_EQ(gene(results, "TPMT").warnings.back(),
            "no Activity: 'TPMT *1/*3A warning' says the result may be another phenotype");
  EXPECT_EQ(gene(results, "CYP2C8").warnings.back(),
            "recovered from pbStarPhase; PharmCAT reported no guideline");
  EXPECT_EQ(driver_->dropped_genes, (Lines{"CYP2B6", "CYP2C19", "HLA-A"}));
  EXPECT_EQ(std::ranges::count(host_.formats, "Dropped %s: %s"), 3);

  convert({"pharmcat/inferred_and_caveats.pharmcat.phenotype.json", "writer.pbstarphase.json"},
          /*recover=*/false);
  EXPECT_EQ(driver_->dropped_genes, (Lines{"CYP2B6", "CYP2C19", "CYP2C8", "HLA-A"}));
}

TEST_F(Merge, CallersOfEqualRankThatDisagreeLeaveAGap) {
  auto results = convert({"sample.pbstarphase.json", "sample.pbstarphase.tsv"});
  EXPECT_EQ(summaries_,
            (Lines{"CYP2B6 - | - | pbstarphase", "CYP2C19 *1/*17 | - | pbstarphase",
                   "CYP2C9 *1/*2 | - | pbstarphase", "CYP2D6 *68+*4/*4 | - | pbstarphase",
                   "CYP4F2 *3/*4 | - | pbstarphase", "DPYD - | - | pbstarphase",
                   "HLA-A - | - | pbstarphase", "MT-RNR1 Reference | - | pbstarphase"}));
  EXPECT_EQ(gene(results, "HLA-A").warnings.back(),
            "callers of equal rank disagree: pbstarphase called '01:01:01:01/26:01:01:01', "
            "pbstarphase called '*31:01/*31:01'; none is used");
  // A haplotype pbStarPhase could not call makes no call, naming the one it did.
  EXPECT_EQ(gene(results, "DPYD").warnings,
            (Lines{"no diplotype called: pbstarphase wrote 'NO_MATCH/Reference'; only Reference "
                   "was called"}));
  EXPECT_TRUE(driver_->dropped_genes.empty()); // no PharmCAT output: every gene is kept
}

TEST_F(Merge, TheReportOutranksThePhenotypeFileAndTheSidecarNamesTheHostsVersion) {
  auto results = convert(
      {"pharmcat/by_source.pharmcat.phenotype.json", "pharmcat/by_source.pharmcat.report.json"});
  ASSERT_EQ(results.size(), 12u);
  for (const GeneOutcome &result : results)
    EXPECT_EQ(result.source, "pharmcat_report") << result.gene;
  // CPIC is preferred; a gene only DPWG gives a guideline for takes DPWG's.
  EXPECT_EQ(gene(results, "CYP2D6").phenotype_source, "CPIC");
  EXPECT_EQ(summary(gene(results, "CYP3A4")), "CYP3A4 *1/*22 | Intermediate Metabolizer | "
                                              "pharmcat_report");
  EXPECT_EQ(gene(results, "CYP3A4").phenotype_source, "DPWG");
  // A genotype-guided gene without a term yet is a gap with a warning, never a guess.
  EXPECT_EQ(gene(results, "VKORC1").activity, std::nullopt);
  EXPECT_EQ(gene(results, "VKORC1").warnings,
            (Lines{"genotype-guided diplotype 'Reference/rs9923231' has no Orvelle term yet"}));

  host_.version = "9.8.7";
  EXPECT_TRUE(
      driver_->provenance_text(results).starts_with("{\n    \"parserVersion\": \"9.8.7\",\n"));
}

} // namespace
} // namespace orvelle
