// core/tests/csv_sniffer_test.cpp: the sample cut and a few dialects the host's Sniffer picks.
#include "orvelle/csv/sniffer.h"
#include "orvelle/errors.h"

#include <gtest/gtest.h>

#include <string>

namespace orvelle::csv {
namespace {

TEST(CsvSniffer, SampleIsTheFirst4096Characters) {
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text += "\xE2\x82\xAC"; // three bytes each
  EXPECT_EQ(sniff_sample(text).size(), 3 * SNIFF_SAMPLE_CHARS);
  EXPECT_EQ(sniff_sample("a,b\n"), "a,b\n");
}

TEST(CsvSniffer, QuotedAndCountedGuesses) {
  // Quotes beside a delimiter decide it; a space after every such delimiter is skipped.
  EXPECT_EQ(sniff("'x', 'y'\n'z', 'w'\n", ",;\t"), (Dialect{',', '\'', false, true}));
  EXPECT_EQ(sniff("\"a \"\"b\"\" c\";d\n", ",;\t"), (Dialect{';', '"', true, false}));
  // Without quotes the consistent count per line decides, and doublequote stays off.
  EXPECT_EQ(sniff("a\tb;c\na\tb\na\tb;c;d\n", ",;\t"), (Dialect{'\t', '"', false, false}));
  EXPECT_EQ(sniff("abc\ndef\n", ",;\t"), std::nullopt);
  EXPECT_EQ(sniff("", ",;\t"), std::nullopt);
}

TEST(CsvSniffer, RefusesNonAsciiCandidates) {
  EXPECT_THROW(sniff("a\xC2\xA7"
                     "b\n",
                     "\xC2\xA7"),
               ValueError);
}

} // namespace
} // namespace orvelle::csv
