// core/tests/stellarpgx_summary_test.cpp: StellarPGx's cohort summary: each result form read as
// its .alleles report reads it, one sample taken from the several, the gene from the file's
// name or folder, and the files of its endings it does not claim.
#include "orvelle/readers/pgx_reader_factory.h"
#include "orvelle/readers/stellarpgx_alleles_reader.h"
#include "orvelle/readers/stellarpgx_summary_reader.h"
#include "orvelle/testing/stand_in_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace orvelle {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const fs::path FIXTURES = ORVELLE_TEST_FIXTURES;
// The real caller output beside the checkout, where it is present.
const fs::path SHARED = FIXTURES / ".." / ".." / ".." / "shared" / "samples";

// A call in one line: gene, diplotype ("-" when absent), "(ambiguous)" when no other caller may
// fill its gap or Activity.
std::string line_of(const RawCall &call) {
  return call.gene + " " + call.diplotype.value_or("-") +
         (call.ambiguous_phenotype ? " (ambiguous)" : "");
}

Lines lines_of(const std::vector<RawCall> &calls) {
  Lines lines;
  for (const RawCall &call : calls)
    lines.push_back(line_of(call));
  return lines;
}

class StellarPgxSummary : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("stellarpgx_summary_test_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Writes `text` at `name` under the test's folder (sub-folders made); returns its path.
  std::string write(const std::string &name, std::string_view text) {
    const fs::path path = folder_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  fs::path folder_;

private:
  testing::StandInHost host_;
  testing::HostInstalled installed_{host_};
};

constexpr std::string_view TWO_SAMPLES = "S1\t*1/*4\nS2\t*2/*41\n";

TEST_F(StellarPgxSummary, ThePublishedSummaryInEveryFormItShows) {
  const fs::path path = SHARED / "stellarpgx" / "docsnippet.pharmcat-Calling-CYP2D6.summary.txt";
  if (!fs::exists(path))
    GTEST_SKIP() << "the shared samples are not present";
  std::unique_ptr<IPgxReader> reader = PgxReaderFactory::reader_for(path.string());
  ASSERT_NE(dynamic_cast<StellarPgxSummaryReader *>(reader.get()), nullptr);
  const std::vector<RawCall> calls = reader->parse();
  EXPECT_EQ(lines_of(calls), (Lines{"CYP2D6 *71/*2x2", "CYP2D6 -", "CYP2D6 *5/*68+*4",
                                    "CYP2D6 *139/*4", "CYP2D6 *36+*10/*36+*10", "CYP2D6 *111/*3"}));
  // The bracketed background beside a possible novel allele is named as a guess, not called.
  EXPECT_EQ(calls[1].warnings,
            (Lines{"StellarPGx: 'Possible novel allele or suballele present: interpret with "
                   "caution; experimental validation and expert review through PharmVar is "
                   "recommended': no diplotype called; its likely background alleles '[*1/*31]' "
                   "are a guess, not a call"}));
  for (const RawCall &call : calls) {
    EXPECT_EQ(call.source, "stellarpgx");
    EXPECT_TRUE(call.phenotypes.empty()) << "the summary holds no metaboliser status";
  }
}

TEST_F(StellarPgxSummary, EachResultFormAndNoteAsTheReportReadsIt) {
  std::unique_ptr<IPgxReader> reader =
      PgxReaderFactory::reader_for((FIXTURES / "specialists" / "run1_cyp2d6_summary.txt").string());
  const std::vector<RawCall> calls = reader->parse();
  EXPECT_EQ(lines_of(calls),
            (Lines{"CYP2D6 *1/*4", "CYP2D6 -", "CYP2D6 - (ambiguous)", "CYP2D6 *1/*2x2",
                   "CYP2D6 *1/*5", "CYP2D6 *1/*4 (ambiguous)", "CYP2D6 -", "CYP2D6 - (ambiguous)",
                   "CYP2D6 *10/*36+*10 (ambiguous)"}));
  const std::string hybrid = "StellarPGx: 'Possible rare CYP2D6/2D7 hybrid present': a hybrid "
                             "gene may change the phenotype; no Activity is used";
  const std::string deletion = "StellarPGx: 'Possible CYP2D6 gene deletion (*5) present'";
  EXPECT_EQ(calls[0].warnings, Lines{});
  EXPECT_EQ(calls[1].warnings, Lines{"StellarPGx: 'No_call': no diplotype called"});
  EXPECT_EQ(calls[2].warnings, Lines{"StellarPGx: '*1/*2 or *1/*41': several diplotypes "
                                     "StellarPGx cannot tell apart; none is used"});
  EXPECT_EQ(calls[3].warnings, Lines{"StellarPGx: 'Duplication present'"});
  EXPECT_EQ(calls[4].warnings, Lines{deletion});
  EXPECT_EQ(calls[5].warnings, Lines{hybrid});
  EXPECT_TRUE(calls[6].warnings.at(0).ends_with("its likely background alleles '[*2/*35]' are a "
                                                "guess, not a call"));
  // A sample spanning lines of different diplotypes; one whose further line is a note.
  EXPECT_EQ(calls[7].warnings,
            Lines{"StellarPGx: '*2/*41', '*1/*41': several results for one sample; none is used"});
  EXPECT_EQ(calls[8].warnings, (Lines{hybrid, deletion}));
}

TEST_F(StellarPgxSummary, RepeatedCellsAndLinesOfOneResultAreOneResult) {
  // A report line holding both a star allele and "Possible" is gathered twice.
  const std::string path =
      write("cyp2d6_summary.txt", "S1\t*1/*5\tPossible CYP2D6 gene deletion (*5) present\t*1/*5\t"
                                  "Possible CYP2D6 gene deletion (*5) present\nS2\t*1/*1\n*1/*1\n");
  StellarPgxSummaryReader reader(path);
  const std::vector<RawCall> calls = reader.parse();
  EXPECT_EQ(lines_of(calls), (Lines{"CYP2D6 *1/*5", "CYP2D6 *1/*1"}));
  EXPECT_EQ(calls[0].warnings, Lines{"StellarPGx: 'Possible CYP2D6 gene deletion (*5) present'"});
}

TEST_F(StellarPgxSummary, ANovelAlleleBesideADiplotypeLeavesItAGuess) {
  // However StellarPGx prints its background beside the note, no diplotype stands.
  StellarPgxSummaryReader summary(
      write("cyp2d6_summary.txt", "S1\t*1/*31\tPossible novel allele or suballele present\n"));
  const RawCall call = summary.parse().at(0);
  EXPECT_EQ(line_of(call), "CYP2D6 -");
  EXPECT_EQ(call.warnings, Lines{"StellarPGx: 'Possible novel allele or suballele present': no "
                                 "diplotype called; its likely background alleles '*1/*31' are "
                                 "a guess, not a call"});
  StellarPgxAllelesReader report(
      write("S1_cyp2d6.alleles", "CYP2D6 Star Allele Calling with StellarPGx\n\nResult:\n*1/*31\n"
                                 "Possible novel allele or suballele present\n"));
  EXPECT_EQ(report.parse().at(0).warnings, call.warnings);
}

TEST_F(StellarPgxSummary, OneSampleTakenFromTheSeveral) {
  const std::string path = write("cyp2d6_summary.txt", TWO_SAMPLES);
  StellarPgxSummaryReader asked(path);
  asked.take_sample("S2");
  const std::vector<RawCall> calls = asked.parse();
  EXPECT_EQ(lines_of(calls), Lines{"CYP2D6 *2/*41"});
  EXPECT_EQ(calls[0].warnings, Lines{});
  EXPECT_EQ(asked.named_sample(), "S2");

  StellarPgxSummaryReader first(path);
  first.take_sample(std::nullopt);
  const RawCall call = first.parse().at(0);
  EXPECT_EQ(line_of(call), "CYP2D6 *1/*4");
  EXPECT_EQ(call.warnings, Lines{"cyp2d6_summary.txt holds 2 samples; only sample 'S1' was read"});
  EXPECT_EQ(first.named_sample(), "S1");

  StellarPgxSummaryReader missing(path);
  missing.take_sample("S3");
  EXPECT_TRUE(missing.parse().empty());
  EXPECT_EQ(missing.named_sample(), std::nullopt);
}

TEST_F(StellarPgxSummary, TheGeneFromAWordOfTheNameElseTheWholeFolderName) {
  for (const std::string name : {"run1_cyp2d6_summary.txt", "pharmcat-Calling-CYP2D6.summary.txt",
                                 "CYP2C19 summary.tsv", "nat2.txt.gz"}) {
    const std::string_view gene = name.starts_with("CYP2C19") ? "CYP2C19"
                                  : name.starts_with("nat2")  ? "NAT2"
                                                              : "CYP2D6";
    EXPECT_EQ(StellarPgxSummaryReader(write(name, "")).gene(), gene) << name;
  }
  EXPECT_EQ(StellarPgxSummaryReader(write("out/cyp2c9/run1_summary.txt", "")).gene(), "CYP2C9");
  // A symbol inside a longer word is none: the folder, StellarPGx's own layout, names it then.
  EXPECT_EQ(StellarPgxSummaryReader(write("out/cyp2c9/runCYP2D6_summary.txt", "")).gene(),
            "CYP2C9");
  EXPECT_EQ(StellarPgxSummaryReader(write("out/CYP2C9/cyp2c9_summary.txt", "")).gene(), "CYP2C9");
}

TEST_F(StellarPgxSummary, NoGeneOrTwoGenesAreRefusedAskingForTheGeneInTheName) {
  const std::string ask = "name the summary's one gene in its file name";
  for (const std::string name : {"out/results/run1_summary.txt", "cyp2d6_cyp2c19_summary.txt",
                                 "out/cyp2c19/run1_cyp2d6_summary.txt"}) {
    StellarPgxSummaryReader reader(write(name, TWO_SAMPLES));
    try {
      reader.parse();
      ADD_FAILURE() << name << " was read";
    } catch (const ValueError &error) {
      EXPECT_NE(std::string(error.what()).find(ask), std::string::npos) << error.what();
      EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos);
    }
  }
}

TEST_F(StellarPgxSummary, ClaimedByContentBesideTheOutsideCallFile) {
  // Saved as .tsv it is still the summary; a first cell that is a gene is PharmCAT's outside
  // call file, read as before.
  EXPECT_EQ(PgxReaderFactory::reader_for(write("cyp2d6_summary.tsv", TWO_SAMPLES))->parse().size(),
            2u);
  const std::string outside = write("cyp2d6.outside.tsv", "CYP2D6\t*1/*4\n");
  std::unique_ptr<IPgxReader> reader = PgxReaderFactory::reader_for(outside);
  EXPECT_EQ(dynamic_cast<StellarPgxSummaryReader *>(reader.get()), nullptr);
  EXPECT_EQ(reader->source_name(), "pbstarphase");

  using Rows = std::vector<std::vector<std::string>>;
  EXPECT_TRUE(StellarPgxSummaryReader::is_summary(Rows{{"S1", "[*1/*31]", "Possible novel"}}));
  EXPECT_TRUE(StellarPgxSummaryReader::is_summary(Rows{{"S1", "*1/*4", ""}, {"*2/*4"}}));
  for (const Rows &rows :
       {Rows{}, Rows{{"CYP2D6", "*1/*4"}}, Rows{{"#gene", "diplotype"}},
        Rows{{"Sample", "Genotype", "Filter"}}, Rows{{"S1"}}, Rows{{"S1", "*1/*4", "a", "b", "c"}},
        Rows{{"S1", "*1/*4"}, {"notes"}}, Rows{{"S1", "1/4"}}, Rows{{"*1/*4", "S1"}}})
    EXPECT_FALSE(StellarPgxSummaryReader::is_summary(rows)) << rows.size();
}

TEST_F(StellarPgxSummary, AnotherTxtIsPassedOverInAFolderAndRefusedByName) {
  const std::string readme = write("cyp2d6/README.txt", "StellarPGx results\tsee below\n");
  const std::string binary = write("cyp2d6/blob.txt", std::string("\xff\xfe\x00\x01", 4));
  const std::string summary = write("cyp2d6/run1_summary.txt", TWO_SAMPLES);
  EXPECT_EQ(PgxReaderFactory::left_out(readme),
            "not a StellarPGx cohort summary, the only .txt file this converter reads");
  EXPECT_TRUE(PgxReaderFactory::left_out(binary).has_value());
  EXPECT_EQ(PgxReaderFactory::left_out(summary), std::nullopt);
  try {
    PgxReaderFactory::reader_for(readme);
    ADD_FAILURE() << "a README was read";
  } catch (const ValueError &error) {
    EXPECT_EQ(std::string(error.what()), readme + ": not a recognised caller output (expected " +
                                             std::string(StellarPgxSummaryReader::EXPECTED) + ")");
  }
  // A later line of another shape refuses the whole file, naming the line.
  StellarPgxSummaryReader torn(write("cyp2d6/torn.txt", "S1\t*1/*4\n\nS2 *1/*4\n"));
  EXPECT_THROW(
      {
        try {
          torn.parse();
        } catch (const ValueError &error) {
          EXPECT_NE(std::string(error.what()).find(": line 3 is neither"), std::string::npos);
          throw;
        }
      },
      ValueError);
}

} // namespace
} // namespace orvelle
