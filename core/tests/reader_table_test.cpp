// core/tests/reader_table_test.cpp: the table of readers agrees with what the driver scans for
// and ranks, so a reader added to it is found in a folder and merged in its place.
#include "orvelle/convert/orvelle_pgx_parser.h"
#include "orvelle/readers/reader_table.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(ReaderTable, EachCallerHasOneRankAndEveryReaderAFallbackOrARule) {
  for (const ReaderEntry &reader : reader_table()) {
    EXPECT_EQ(caller_rank(reader.caller), reader.rank) << reader.caller;
    EXPECT_NE(reader.make, nullptr) << reader.caller;
  }
  // Each ending has a reader of last resort, so a file is never left without one by content.
  for (std::string_view ending : OrvellePgxParser::INPUT_SUFFIXES)
    EXPECT_TRUE(std::ranges::any_of(reader_table(), [&](const ReaderEntry &reader) {
      return reader.is_fallback() &&
             std::ranges::find(reader.endings, ending) != reader.endings.end();
    })) << ending;
}

} // namespace
} // namespace orvelle
