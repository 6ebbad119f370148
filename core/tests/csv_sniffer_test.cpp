// core/tests/csv_sniffer_test.cpp: the sample cut, and the sniff handed to the host.
#include "orvelle/csv/sniffer.h"
#include "orvelle/errors.h"
#include "orvelle/testing/stand_in_host.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace orvelle::csv {
namespace {

// Answers every sniff with one dialect and keeps what it was asked.
class RecordingHost final : public testing::StandInHost {
public:
  std::optional<Dialect> sniff_csv(std::string_view sample, std::string_view delimiters) override {
    ++calls;
    asked = {std::string(sample), std::string(delimiters)};
    return Dialect{';', '\'', false, true};
  }
  int calls = 0;
  std::pair<std::string, std::string> asked;
};

TEST(CsvSniffer, SampleIsTheFirst4096Characters) {
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text += "\xE2\x82\xAC"; // three bytes each
  EXPECT_EQ(sniff_sample(text).size(), 3 * SNIFF_SAMPLE_CHARS);
  EXPECT_EQ(sniff_sample("a,b\n"), "a,b\n");
}

TEST(CsvSniffer, TheHostDecidesAndNonAsciiCandidatesAreRefusedFirst) {
  RecordingHost host;
  testing::HostInstalled installed(host);
  EXPECT_EQ(sniff("'x'; 'y'\n", ",;\t"), (Dialect{';', '\'', false, true}));
  EXPECT_EQ(host.asked, std::make_pair(std::string("'x'; 'y'\n"), std::string(",;\t")));
  EXPECT_THROW(sniff("a\xC2\xA7"
                     "b\n",
                     "\xC2\xA7"),
               ValueError);
  EXPECT_EQ(host.calls, 1);
}

TEST(CsvSniffer, WithoutAHostNothingIsGuessed) {
  ASSERT_EQ(host::install(nullptr), nullptr);
  EXPECT_THROW(sniff("a,b\n", ",;\t"), std::logic_error);
}

} // namespace
} // namespace orvelle::csv
