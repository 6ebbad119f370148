// core/tests/csv_reader_test.cpp: what the host's reader does around errors and NUL characters,
// row reuse, and DictReader's mapping of repeated and missing names.
#include "orvelle/csv/reader.h"
#include "orvelle/errors.h"
#include "orvelle/testing/stand_in_host.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace orvelle::csv {
namespace {

/// Each row, or the message of the error met in its place, reading on after errors.
using Outcome = std::variant<std::vector<std::string>, std::string>;

std::vector<Outcome> read_all(const std::string &text, Dialect dialect = {}) {
  Reader reader(text, dialect);
  std::vector<Outcome> out;
  std::vector<std::string> row;
  for (;;) {
    try {
      if (!reader.next(row))
        return out;
      out.emplace_back(row);
    } catch (const CsvError &error) {
      out.emplace_back(error.what());
    }
  }
}

using Row = std::vector<std::string>;
const std::string TOO_LARGE = "field larger than field limit (131072)";

TEST(CsvReader, ResumesAfterTheLineInFault) {
  std::string big(FIELD_SIZE_LIMIT + 1, 'x');
  EXPECT_EQ(read_all("a,b\n\"" + big + "\nmore\"\r\nnext,row\r\n"),
            (std::vector<Outcome>{Row{"a", "b"}, TOO_LARGE, Row{"more\""}, Row{"next", "row"}}));
  EXPECT_EQ(read_all("a,b\n" + big + ",c\rnext\n"),
            (std::vector<Outcome>{Row{"a", "b"}, TOO_LARGE, Row{"next"}}));
}

TEST(CsvReader, LimitCountsCharactersNotBytes) {
  std::string e_acute = "\xC3\xA9";
  std::string at_limit;
  for (std::size_t i = 0; i < FIELD_SIZE_LIMIT; ++i)
    at_limit += e_acute;
  EXPECT_EQ(read_all(at_limit + ",\"" + at_limit + "\""),
            (std::vector<Outcome>{Row{at_limit, at_limit}}));
  EXPECT_EQ(read_all("\"" + at_limit + "\"\"\""), (std::vector<Outcome>{TOO_LARGE}));
}

TEST(CsvReader, NulAsHostsBefore311RefuseIt) {
  const std::string text{"a\0b\nc\n\"d\0\ne\"\nf\n", 15};
  EXPECT_EQ(read_all(text), (std::vector<Outcome>{Row{std::string("a\0b", 3)}, Row{"c"},
                                                  Row{std::string("d\0\ne", 4)}, Row{"f"}}));
  testing::StandInHost before_311;
  before_311.refuses_nul = true;
  testing::HostInstalled installed(before_311);
  auto refused = read_all(text);
  EXPECT_EQ(refused, (std::vector<Outcome>{"line contains NUL", Row{"c"}, "line contains NUL",
                                           Row{"e\""}, Row{"f"}}));
}

TEST(CsvReader, ReusedRowShrinksAndBlankLinesAreEmpty) {
  Reader reader("a,b,c\r\n\r\nd\n", {});
  std::vector<std::string> row;
  ASSERT_TRUE(reader.next(row));
  EXPECT_EQ(row, (Row{"a", "b", "c"}));
  ASSERT_TRUE(reader.next(row));
  EXPECT_TRUE(row.empty());
  ASSERT_TRUE(reader.next(row));
  EXPECT_EQ(row, Row{"d"});
  EXPECT_FALSE(reader.next(row));
}

TEST(CsvDictReader, RepeatedShortAndLongRows) {
  Reader reader("a;b;a\n1;2;3\n\n1;2\n1;2;3;4;5\n", {.delimiter = ';'});
  DictReader dict_reader(reader);
  ASSERT_TRUE(dict_reader.fieldnames());
  EXPECT_EQ(*dict_reader.fieldnames(), (Row{"a", "b", "a"}));
  using Cells = std::vector<std::pair<std::string, std::optional<std::string>>>;
  DictRow row;
  ASSERT_TRUE(dict_reader.next(row));
  EXPECT_EQ(row.cells, (Cells{{"a", "3"}, {"b", "2"}}));
  EXPECT_FALSE(row.has_rest);
  ASSERT_TRUE(dict_reader.next(row)); // the blank line is passed over
  EXPECT_EQ(row.cells, (Cells{{"a", std::nullopt}, {"b", "2"}}));
  ASSERT_TRUE(dict_reader.next(row));
  EXPECT_EQ(row.cells, (Cells{{"a", "3"}, {"b", "2"}}));
  EXPECT_TRUE(row.has_rest);
  EXPECT_EQ(row.rest, (Row{"4", "5"}));
  EXPECT_FALSE(dict_reader.next(row));
}

TEST(CsvDictReader, NoRowsNoHeader) {
  Reader reader("", {});
  DictReader dict_reader(reader);
  DictRow row;
  EXPECT_FALSE(dict_reader.next(row));
  EXPECT_FALSE(dict_reader.fieldnames());
}

} // namespace
} // namespace orvelle::csv
