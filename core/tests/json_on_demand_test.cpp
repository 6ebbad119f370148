// core/tests/json_on_demand_test.cpp: trees built on demand read as the whole tree does,
// whatever is asked first, and a file's bytes parse as the host reads the file.
#include "orvelle/errors.h"
#include "orvelle/json/parse.h"
#include "orvelle/testing/json_same.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvelle::json {
namespace {

const std::vector<std::string> kTexts = {
    R"({"genes": {"CYP2D6": {"geneSymbol": "CYP2D6", "sourceDiplotypes": [{"label": "*1/*4"}]}},
        "drugs": [[], {}, [[1, -0, 2.5e-3, "\u00e9\ud83d\ude00"]], 18446744073709551615],
        "title": null, "ok": true})",
    R"({"a": 1, "b": {"x": 1}, "a": {"y": [2]}, "c": [], "b": 3, "a": [4, {"a": 5, "a": 6}]})",
    R"([{"k0": 0, "k1": 1, "k2": 2, "k3": 3, "k4": 4, "k5": 5, "k6": 6, "k7": 7, "k8": 8,
        "k9": 9, "k0": 10, "k5": 11}, "tail"])",
    R"("just a text")",
    "-12",
    "[]",
    "{}",
    "[NaN, 1e400, 123456789012345678901234567890]", // the host's rules read these
};

TEST(JsonOnDemand, ReadsAsTheWholeTreeWhateverIsAskedFirst) {
  for (const std::string &text : kTexts) {
    SCOPED_TRACE(text);
    const Document whole = parse(text);
    // Asked for sizes and members before anything else, then walked in full.
    const Document sized = parse_on_demand(text);
    EXPECT_EQ(sized.root().size(), whole.root().size());
    EXPECT_EQ(sized.root().truthy(), whole.root().truthy());
    if (whole.root().is_object())
      for (const Member &member : whole.root().members()) {
        const Value *found = sized.root().find(member.key);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->size(), member.value.size());
        EXPECT_TRUE(same_tree(*found, member.value));
      }
    EXPECT_TRUE(same_tree(sized.root(), whole.root()));
    // Walked in full at once.
    EXPECT_TRUE(same_tree(parse_on_demand(text).root(), whole.root()));
  }
}

TEST(JsonOnDemand, RepeatedNamesAreMergedWhenTheObjectIsBuilt) {
  const Document document = parse_on_demand(kTexts[1]);
  const Value &root = document.root();
  EXPECT_TRUE(root.truthy());
  ASSERT_EQ(root.size(), 3u);
  EXPECT_EQ(root.members()[0].key, "a");
  EXPECT_EQ(root.find("b")->as_int(), 3);
  const Value &last = root.find("a")->items()[1];
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last.find("a")->as_int(), 6);
}

TEST(JsonOnDemand, LookupsBeforeAndAfterBuildingAgree) {
  // The first lookup of an object reads it in place; later ones build it. Each must find what
  // the whole tree holds: the last of repeated names, nothing for an absent one.
  const Document whole = parse(kTexts[1]);
  for (const char *first : {"a", "b", "c", "absent"}) {
    SCOPED_TRACE(first);
    const Document document = parse_on_demand(kTexts[1]);
    const Value &root = document.root();
    for (const char *key : {first, "a", "b", "c", "absent", first}) {
      const Value *found = root.find(key);
      const Value *expected = whole.root().find(key);
      ASSERT_EQ(found == nullptr, expected == nullptr) << key;
      if (found != nullptr) {
        EXPECT_TRUE(same_tree(*found, *expected)) << key;
      }
    }
    EXPECT_TRUE(same_tree(root, whole.root()));
  }
  // Nested: each level's first lookup is in place, and the value found builds as usual.
  const Document nested = parse_on_demand(kTexts[2]);
  const Value *object = &nested.root().items()[0];
  EXPECT_EQ(object->find("k0")->as_int(), 10);
  EXPECT_EQ(object->find("k5")->as_int(), 11);
  EXPECT_EQ(object->size(), 10u);
  const Document genes = parse_on_demand(kTexts[0]);
  EXPECT_EQ(genes.root()
                .find("genes")
                ->find("CYP2D6")
                ->find("sourceDiplotypes")
                ->items()[0]
                .find("label")
                ->as_string(),
            "*1/*4");
}

TEST(JsonOnDemand, TreesAliveAtOnceKeepTheirOwnValues) {
  // Each tree holds its own parsed document; a parse made while others live (or after they
  // were let go and their documents kept for reuse) must not disturb them.
  std::vector<Document> alive;
  for (int round = 0; round < 2; ++round) {
    for (const std::string &text : kTexts)
      alive.push_back(parse_on_demand(text));
    for (std::size_t i = 0; i < kTexts.size(); ++i)
      EXPECT_TRUE(same_tree(alive[i].root(), parse(kTexts[i]).root())) << kTexts[i];
    alive.clear();
  }
  Document moved = parse_on_demand(kTexts[0]);
  Document target = std::move(moved);
  EXPECT_EQ(target.root().find("genes")->find("CYP2D6")->find("geneSymbol")->as_string(), "CYP2D6");
}

TEST(JsonFileText, ReadsAsTheHostReadsTheFile) {
  std::string crlf = "{\r\n  \"a\": [1,\r 2],\r\n  \"b\": \"x\"\r\n}";
  const Document document = parse_file_text(crlf);
  EXPECT_TRUE(same_tree(document.root(), parse(R"({"a": [1, 2], "b": "x"})").root()));

  // A fault is found in the translated text, and its positions count there.
  std::string faulty = "{\r\n\"a\": 1,\r\n\"b\" 2}";
  try {
    parse_file_text(faulty);
    ADD_FAILURE() << "parsed";
  } catch (const SyntaxError &error) {
    EXPECT_EQ(faulty, "{\n\"a\": 1,\n\"b\" 2}");
    EXPECT_EQ(error.msg(), "Expecting ':' delimiter");
    EXPECT_EQ(error.pos(), 14u);
    EXPECT_EQ(error.line(), 3u);
    EXPECT_EQ(error.column(), 5u);
  }

  // Bytes that are not UTF-8 are the decoder's error, before any fault of the JSON, and
  // counted in the bytes as read.
  for (std::string bytes : {std::string("{\"gene\": \"caf\xE9\"}"), std::string("[1,\r\n\xFF")}) {
    const std::string read = bytes;
    try {
      parse_file_text(bytes);
      ADD_FAILURE() << "parsed";
    } catch (const UnicodeDecodeFailure &error) {
      EXPECT_EQ(error.data(), read);
      EXPECT_EQ(error.start(), read.find_first_of("\xE9\xFF"));
    }
  }
}

} // namespace
} // namespace orvelle::json
