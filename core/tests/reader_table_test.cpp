// core/tests/reader_table_test.cpp: the table of readers agrees with what the driver scans for
// and ranks, so a reader added to it is found in a folder and merged in its place.
#include "orvelle/convert/orvelle_pgx_parser.h"
#include "orvelle/readers/reader_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace orvelle {
namespace {

TEST(ReaderTable, EveryEndingIsScannedAndEveryScannedEndingRead) {
  std::set<std::string_view> read;
  for (const ReaderEntry &reader : reader_table())
    read.insert(reader.endings.begin(), reader.endings.end());
  const auto &scanned = OrvellePgxParser::INPUT_SUFFIXES;
  EXPECT_EQ(read, std::set<std::string_view>(scanned.begin(), scanned.end()));
}

TEST(ReaderTable, EveryCallerHasARankAndEveryEntryAReaderOrARefusal) {
  for (const ReaderEntry &reader : reader_table()) {
    EXPECT_TRUE(std::ranges::any_of(
        caller_rank_table(), [&](const CallerRank &rank) { return rank.caller == reader.caller; }))
        << reader.caller << " has no rank";
    EXPECT_EQ(reader.make == nullptr, reader.is_refusal()) << reader.caller;
    // A refusal is told by content alone; every reader says what it recognises.
    EXPECT_FALSE(reader.is_refusal() && reader.is_fallback()) << reader.refusal;
    EXPECT_FALSE(reader.expected.empty()) << reader.caller;
  }
}

// A reader whose calls carried another caller than its entry would merge at that caller's rank,
// silently.
TEST(ReaderTable, EveryMadeReaderTagsItsCallsWithItsEntrysCaller) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "reader_table_test";
  std::ofstream(file) << "";
  for (const ReaderEntry &reader : reader_table()) {
    if (reader.make != nullptr) {
      EXPECT_EQ(reader.make(file.string())->source_name(), reader.caller);
    }
  }
  std::filesystem::remove(file);
}

TEST(ReaderTable, OnlyWhatNothingElseClaimsFallsToAReaderThatRefusesItself) {
  // A JSON is read only in a shape a rule recognises: no reader takes whatever is left.
  for (const ReaderEntry &reader : reader_table()) {
    if (reader.is_fallback()) {
      EXPECT_EQ(std::ranges::find(reader.endings, ".json"), reader.endings.end()) << reader.caller;
    }
  }
}

} // namespace
} // namespace orvelle
