// core/tests/gunzip_test.cpp: compressed inputs: what is read, what is refused and with which
// message, and the bound against decompression bombs.
#include "orvelle/errors.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/io/output_file.h"

#include <gtest/gtest.h>

namespace orvelle::io {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

std::string failure_of(std::string_view compressed) {
  try {
    gunzip(compressed, "in/s.json.gz", 64);
  } catch (const ValueError &error) {
    return error.what();
  }
  return "no failure";
}

TEST(Gunzip, NamesCountByTheirLastEndingInAnyCase) {
  EXPECT_TRUE(is_gzip_name("in/S.PBSTARPHASE.JSON.GZ"));
  EXPECT_FALSE(is_gzip_name("in.gz/s.json"));
  EXPECT_FALSE(is_gzip_name("gz"));
  EXPECT_EQ(uncompressed_name("in/CYP2D6.tsv.Gz"), "CYP2D6.tsv");
  EXPECT_EQ(uncompressed_name("in.gz/s.json"), "s.json");
  EXPECT_EQ(uncompressed_name(".gz"), "");
}

TEST(Gunzip, ReadsEveryMemberAndIgnoresZeroPadding) {
  const std::string text = "{\"gene_details\": {}}";
  std::string stream = gzip_compress(text.substr(0, 5)) + gzip_compress(text.substr(5));
  EXPECT_EQ(gunzip(stream, "s.json.gz", 64), text);
  std::string padded = gzip_compress(text) + std::string(100, '\0');
  const std::string data = gunzip(padded, "s.json.gz", 64);
  EXPECT_EQ(data, text);
  EXPECT_GE(data.capacity(), data.size() + 64); // room for the parsers' wide loads
  const std::string empty = gunzip("", "s.json.gz", 64);
  EXPECT_EQ(empty, "");
  EXPECT_GE(empty.capacity(), 64u);
}

TEST(Gunzip, BadStreamsNameTheFileAndTheFault) {
  const std::string good = gzip_compress(std::string(10000, 'x') + "tail");
  EXPECT_EQ(failure_of("{\"plain\": \"json\"}"), "in/s.json.gz: not a gzip file");
  EXPECT_EQ(failure_of(good.substr(0, good.size() / 2)),
            "in/s.json.gz: truncated gzip stream (it ends before its last block)");
  EXPECT_EQ(failure_of(good.substr(0, good.size() - 4)),
            "in/s.json.gz: truncated gzip stream (it ends before its last block)");
  std::string flipped = good;
  flipped[flipped.size() - 6] ^= 0x55; // the checksum no longer fits the data
  EXPECT_EQ(failure_of(flipped), "in/s.json.gz: corrupt gzip stream (incorrect data check)");
  EXPECT_EQ(failure_of(good + "junk"),
            "in/s.json.gz: corrupt gzip stream (incorrect header check)");
}

TEST(Gunzip, TheBoundGrowsWithTheCompressedSizeBetweenAFloorAndACeiling) {
  EXPECT_EQ(inflate_limit(0), 64 * kMiB);
  EXPECT_EQ(inflate_limit(kMiB), 256 * kMiB);
  EXPECT_EQ(inflate_limit(100 * kMiB), 2048 * kMiB);
  EXPECT_EQ(inflate_limit(SIZE_MAX), 2048 * kMiB);
}

TEST(Gunzip, ABombIsRefusedAtTheBound) {
  // 80 members of 1 MiB of zeros each: about 80 KB that would inflate to 80 MiB.
  const std::string member = gzip_compress(std::string(kMiB, '\0'));
  std::string bomb;
  for (int i = 0; i < 80; ++i)
    bomb += member;
  ASSERT_LT(bomb.size() * 256, 64 * kMiB);
  EXPECT_EQ(failure_of(bomb), "in/s.json.gz: inflates past 64 MiB, far more than any caller "
                              "output; refused as a decompression bomb");
  // Up to the bound it is data like any other.
  EXPECT_EQ(gunzip(bomb.substr(0, member.size() * 60), "s.json.gz", 0).size(), 60 * kMiB);
}

} // namespace
} // namespace orvelle::io
