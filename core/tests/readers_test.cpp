// core/tests/readers_test.cpp: each reader over the caller-shaped files of tests/fixtures/, as
// the factory picks it: the calls in order, in the caller's own words, with what the reader
// noticed about them.
#include "orvelle/constants.h"
#include "orvelle/readers/pgx_reader_factory.h"
#include "orvelle/testing/stand_in_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace orvelle {
namespace {

namespace c = constants;

std::string fixture(std::string_view name) { return ORVELLE_TEST_FIXTURES "/" + std::string(name); }

/// A call in one line: gene, diplotype ("-" when absent), phenotypes, then the section when
/// there is one. Compared as text, a difference shows the whole call.
std::string summary(const RawCall &call) {
  std::string line = call.gene + " " + call.diplotype.value_or("-");
  for (const std::optional<std::string> &phenotype : call.phenotypes)
    line += " [" + phenotype.value_or("None") + "]";
  if (call.phenotype_source)
    line += " " + *call.phenotype_source;
  if (call.ambiguous_phenotype)
    line += " (ambiguous)";
  return line;
}

struct Read {
  std::string source;
  std::vector<RawCall> calls;
  std::vector<std::string> summaries;
};

Read read(std::string_view name) {
  std::unique_ptr<IPgxReader> reader = PgxReaderFactory::reader_for(fixture(name));
  Read out{std::string(reader->source_name()), reader->parse(), {}};
  for (const RawCall &call : out.calls) {
    EXPECT_EQ(call.source, out.source) << name << ": " << call.gene;
    out.summaries.push_back(summary(call));
  }
  return out;
}

class Readers : public ::testing::Test {
  testing::StandInHost host_;
  testing::HostInstalled installed_{host_};
};

using Lines = std::vector<std::string>;

TEST_F(Readers, StarPhaseJsonReadsTheFirstCandidateUnlessTheyDiffer) {
  Read sample = read("sample.pbstarphase.json");
  EXPECT_EQ(sample.source, c::CALLER_PBSTARPHASE);
  // NUDT15 has no diplotype at all and is skipped; "diplotypes" empty gives way to the simple.
  EXPECT_EQ(sample.summaries, (Lines{"CYP2C19 *1/*17", "CYP2C9 *1/*2", "CYP2D6 *68+*4.001/*4.001",
                                     "DPYD NO_MATCH/Reference", "HLA-A 01:01:01:01/26:01:01:01"}));
  EXPECT_EQ(sample.calls[2].warnings,
            (Lines{"2 pbStarPhase diplotypes reported ('*68+*4.001/*4.001', "
                   "'*4.001/*68+*4.001'); using the first"}));

  Read writer = read("writer.pbstarphase.json");
  EXPECT_EQ(writer.summaries, (Lines{"CYP2B6 - (ambiguous)", "CYP2C19 *1/*17",
                                     "CYP2C8 NO_REFERENCE_ALLELE/NO_REFERENCE_ALLELE",
                                     "CYP2D6 *68 + *4/*4", "HLA-A *31:01:02:01/*31:01:02:01"}));
  EXPECT_EQ(writer.calls[0].warnings, (Lines{"2 pbStarPhase diplotypes reported ('*1/*6.001', "
                                             "'*4.001/*9'); they differ, so none is used"}));
}

TEST_F(Readers, StarPhaseTsvKeepsEachRowAsWritten) {
  Read sample = read("sample.pbstarphase.tsv");
  EXPECT_EQ(sample.source, c::CALLER_PBSTARPHASE);
  EXPECT_EQ(sample.summaries, (Lines{"CYP2B6 Multiple/Multiple", "CYP2C19 *1/*17", "CYP4F2 *3/*4",
                                     "DPYD NO_MATCH/NO_MATCH", "HLA-A *31:01:02:01/*31:01:02:01",
                                     "MT-RNR1 Reference"}));
  // The brackets around a tandem are dropped.
  EXPECT_EQ(read("writer.pbstarphase.tsv").summaries[3], "CYP2D6 *68 + *4/*4");
}

TEST_F(Readers, PyPgxTableGivesTheChosenSamplesRowsOrTheWholeTable) {
  Read whole = read("CYP2D6.tsv");
  EXPECT_EQ(whole.source, c::CALLER_PYPGX);
  EXPECT_EQ(
      whole.summaries,
      (Lines{"CYP2D6 *4/*5 [Poor Metabolizer]", "CYP2D6 *2x2/*71 [Indeterminate]",
             "CYP2D6 *1/*36x2+*10 [Normal Metabolizer]", "CYP2D6 *5/*68+*4 [Poor Metabolizer]"}));
  EXPECT_EQ(whole.calls[2].warnings,
            (Lines{"PyPGx's AlternativePhase lists *69: statistical phasing may have missed it, "
                   "and with it another diplotype and phenotype"}));

  // A sample's name without the table's suffix takes its row; no other sample's.
  std::unique_ptr<IPgxReader> reader = PgxReaderFactory::reader_for(fixture("CYP2D6.tsv"));
  reader->take_sample("S03");
  std::vector<RawCall> calls = reader->parse();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(summary(calls[0]), "CYP2D6 *1/*36x2+*10 [Normal Metabolizer]");
  EXPECT_EQ(reader->named_sample(), "S03");
}

TEST_F(Readers, PharmcatSectionsInDocumentOrderAndBothFilesAlike) {
  Read report = read("pharmcat/by_source.pharmcat.report.json");
  EXPECT_EQ(report.source, c::CALLER_PHARMCAT_REPORT);
  Lines genes;
  for (const RawCall &call : report.calls)
    genes.push_back(call.gene + " " + call.phenotype_source.value_or("-"));
  EXPECT_EQ(genes, (Lines{"CYP2C19 CPIC", "CYP2C9 CPIC", "CYP2D6 CPIC", "CYP4F2 CPIC", "DPYD CPIC",
                          "HLA-B CPIC", "HLA-A CPIC", "IFNL3 CPIC", "MT-RNR1 CPIC", "CFTR CPIC",
                          "CYP2C19 DPWG", "CYP3A4 DPWG", "DPYD DPWG", "VKORC1 DPWG"}));
  EXPECT_EQ(report.summaries[5], "HLA-B *15:02/*57:01 [*15:02 positive] [*57:01 positive] "
                                 "[*58:01 negative] CPIC");
  EXPECT_EQ(report.summaries[8], "MT-RNR1 1555A>G [n/a] CPIC"); // no slash, one allele
  EXPECT_EQ(report.calls[1].activity_score, "2.0");

  // The phenotype file holds the same reports, DPWG first.
  Read phenotype = read("pharmcat/by_source.pharmcat.phenotype.json");
  EXPECT_EQ(phenotype.source, c::CALLER_PHARMCAT_PHENOTYPE);
  Lines sorted_report = report.summaries, sorted_phenotype = phenotype.summaries;
  std::ranges::sort(sorted_report);
  std::ranges::sort(sorted_phenotype);
  EXPECT_EQ(sorted_phenotype, sorted_report);

  // Keyed by gene (3.1 on): no section, and the first of several source diplotypes.
  Read by_gene = read("pharmcat/by_gene.pharmcat.report.json");
  EXPECT_EQ(by_gene.summaries,
            (Lines{"ABCG2 rs2231142 reference (G)/rs2231142 variant (T) [Decreased Function]",
                   "CYP2C9 *1/*2 [Intermediate Metabolizer]", "CYP2D6 Unknown/Unknown [No Result]",
                   "DPYD c.1905+1G>A (*2A) [n/a]", "G6PD B (reference)/B (reference) [Normal]",
                   "HLA-B Unknown/Unknown", "MT-RNR1 Unknown [No Result]",
                   "UGT1A1 *28/*37 [Poor Metabolizer]"}));
  EXPECT_EQ(by_gene.calls[7].warnings.front(),
            "3 source diplotypes reported ('*28/*37', '*28/*80+*37', '*80+*28/*80+*37'); using "
            "the first");
}

TEST_F(Readers, PharmcatsOwnAnswerItsCaveatsAndOutsideCalls) {
  Read inferred = read("pharmcat/inferred_and_caveats.pharmcat.phenotype.json");
  // The phenotype is that of the diplotype PharmCAT bases its guidance on; the unannotated
  // call comes last, without one.
  EXPECT_EQ(
      inferred.summaries,
      (Lines{"CYP2D6 *1/*2x3 [Ultrarapid Metabolizer]",
             "DPYD Reference/[c.85T>C (*9A) + c.1905+1G>A (*2A)] [Intermediate Metabolizer]",
             "SLCO1B1 Unknown/Unknown [Decreased Function]", "CYP3A5 *1/*1 [Normal Metabolizer]",
             "TPMT *1/*3A [Intermediate Metabolizer]", "NUDT15 *1/*2 [Intermediate Metabolizer]",
             "G6PD B (reference)/Mt Sinai [Variable]",
             "RYR1 Reference/[c.1021G>A + c.6617C>T] [Malignant Hyperthermia Susceptibility]",
             "NAT2 *1/*1"}));
  EXPECT_EQ(inferred.calls[0].warnings.front(),
            "source diplotype '*1/*2x3'; PharmCAT bases its guidance on '*1/*2x\xE2\x89\xA5"
            "3' (copy number: "
            "PharmCAT looks three or more copies up as x\xE2\x89\xA5"
            "3); its phenotype is the Activity");
  EXPECT_EQ(inferred.calls[3].caveats, (Lines{"CYP3A5 *3 missing"}));
  EXPECT_EQ(inferred.calls[3].warnings.at(1), "PharmCAT: missing positions: 1 of 2 positions of "
                                              "CYP3A5 have no genotype in the sample (rs776746)");
  EXPECT_EQ(inferred.calls[8].warnings,
            (Lines{"PharmCAT has no phenotype data for NAT2 (unannotatedGeneCalls)"}));

  Read outside = read("pharmcat/outside_calls.pharmcat.phenotype.json");
  EXPECT_EQ(outside.summaries,
            (Lines{"CYP2C19 *1/*2 [Normal Metabolizer]", "CYP2C9 - [Normal Metabolizer]",
                   "CYP2D6 - [Normal Metabolizer]", "HLA-A - [*31:01 positive]"}));
  EXPECT_EQ(outside.calls[1].warnings,
            (Lines{"outside phenotype ['Normal Metabolizer'] differs from the one PharmCAT "
                   "expects, 'Intermediate Metabolizer'",
                   "outside activity score '1.0' differs from the one PharmCAT expects, '2.0'",
                   "no diplotype given, only the label 'Normal Metabolizer (1.0)'"}));
  EXPECT_EQ(outside.calls[2].warnings,
            (Lines{"no diplotype given, only the label 'Normal Metabolizer (1.25)'"}));
}

} // namespace
} // namespace orvelle
