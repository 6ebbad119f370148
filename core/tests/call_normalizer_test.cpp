// core/tests/call_normalizer_test.cpp: the normaliser on small tables built in code,
// and its host-compatible helpers (int() of rule values, the sub-allele pattern).
#include "orvelle/constants.h"
#include "orvelle/errors.h"
#include "orvelle/json/document.h"
#include "orvelle/normalize/call_normalizer.h"
#include "orvelle/normalize/suballele.h"
#include "orvelle/normalize/whole_number.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace orvelle {
namespace {

using json::DocumentBuilder;
using json::Member;
using json::Value;

CallNormalizer::Table table(DocumentBuilder &b, std::initializer_list<Member> members) {
  Value root = b.object(std::vector<Member>(members));
  return std::make_shared<const json::Document>(b.finish(root));
}

Value texts(DocumentBuilder &b, std::initializer_list<std::string_view> items) {
  std::vector<Value> values;
  for (std::string_view item : items)
    values.push_back(b.string(item));
  return b.array(values);
}

Value terms(DocumentBuilder &b, std::initializer_list<std::pair<std::string_view, Value>> pairs) {
  std::vector<Member> members;
  for (const auto &[key, value] : pairs)
    members.push_back({key, value});
  return b.object(members);
}

RawCall call(std::string gene, std::optional<std::string> diplotype,
             std::vector<std::optional<std::string>> phenotypes = {},
             std::optional<std::string> source = std::nullopt,
             std::optional<std::string> phenotype_source = std::nullopt) {
  RawCall raw;
  raw.gene = std::move(gene);
  raw.diplotype = std::move(diplotype);
  raw.phenotypes = std::move(phenotypes);
  raw.source = std::move(source);
  raw.phenotype_source = std::move(phenotype_source);
  return raw;
}

CallNormalizer normalizer() {
  DocumentBuilder b;
  auto rules = table(b, {{"passthrough_sources", texts(b, {"pypgx"})},
                         {"no_call_tokens", texts(b, {"NA"})},
                         {"genotype_guided_genes", texts(b, {"G6PD"})},
                         {"single_allele_genes", texts(b, {"MT-RNR1"})},
                         {"strip_suballele_suffix", Value::boolean(true)},
                         {"version", b.string("r1")}});
  auto phenotypes =
      table(b, {{"genes", terms(b, {{"CYP2D6", terms(b, {{"PM", b.string("Poor Metabolizer")}})}})},
                {"global", terms(b, {{"PM", b.string("Global Poor")}, {"NM", Value()}})}});
  auto genotypes = table(
      b, {{"alleles", terms(b, {{"G6PD", terms(b, {{"B", b.string("B")}})}})},
          {"diplotype_activity", terms(b, {{"G6PD", terms(b, {{"B/B", b.string("Normal")}})}})}});
  return CallNormalizer(rules, phenotypes, genotypes);
}

TEST(CallNormalizer, NormalisesEachPathFromTablesBuiltInCode) {
  CallNormalizer h = normalizer();

  GeneOutcome standard =
      h.normalize(call("CYP2D6", " *1 / *4.001 ", {"PM"}, "pharmcat_report", "CPIC"));
  EXPECT_EQ(standard.star_allele, "*1/*4");
  EXPECT_EQ(standard.activity, "Poor Metabolizer");
  EXPECT_EQ(standard.phenotype_source, "CPIC");
  EXPECT_TRUE(standard.warnings.empty());

  GeneOutcome guided = h.normalize(call("G6PD", "B/B", {"x"}));
  EXPECT_EQ(guided.star_allele, "B/B");
  EXPECT_EQ(guided.activity, "Normal");

  GeneOutcome passed = h.normalize(call("CYP2D6", "*4.001/*1", {"", "PM"}, "pypgx"));
  EXPECT_EQ(passed.star_allele, "*4.001/*1");
  EXPECT_EQ(passed.activity, "");
  EXPECT_EQ(passed.warnings, std::vector<std::string>{"2 phenotypes reported; using the first"});
  EXPECT_TRUE(h.unmapped_terms().empty());
}

TEST(CallNormalizer, CollectsUnmappedTermsOnceInCodePointOrder) {
  CallNormalizer h = normalizer();
  for (int i = 0; i < 2; ++i) {
    h.normalize(call("CYP2C19", "*1/*1", {"NM"}));
    h.normalize(call("G6PD", "B/C"));
  }
  EXPECT_EQ(h.unmapped_terms(), (CallNormalizer::UnmappedTerms{"CYP2C19\tNM", "G6PD\tC"}));
}

TEST(CallNormalizer, MappingVersionsNameEveryTable) {
  json::Document versions = normalizer().mapping_versions();
  const Value &root = versions.root();
  ASSERT_EQ(root.size(), 3u);
  EXPECT_EQ(root.members()[0].key, constants::MAPPING_GENE_RULES);
  EXPECT_EQ(root.members()[0].value.as_string(), "r1");
  EXPECT_TRUE(root.members()[1].value.is_null());
  EXPECT_TRUE(root.members()[2].value.is_null());
}

TEST(CallNormalizer, MembersOfTheWrongShapeFailTheOperationThatReadsThem) {
  DocumentBuilder b;
  auto rules =
      table(b, {{"passthrough_sources", texts(b, {"pypgx"})}, {"hla_genes", b.string("HLA-B")}});
  auto empty = table(b, {});
  CallNormalizer h(rules, empty, empty); // construction itself does not fail
  EXPECT_EQ(h.normalize(call("G", "*1", {}, "pypgx")).star_allele, "*1");
  try {
    h.normalize(call("G", "*1"));
    FAIL();
  } catch (const ValueError &error) {
    EXPECT_STREQ(error.what(),
                 "mapping table 'gene_rules': 'hla_genes' must be a list, not 'HLA-B'");
  }
}

TEST(HostInt, ReadsRuleValuesAsTheHostsIntDoes) {
  using normalize::host_int;
  constexpr auto max = std::numeric_limits<std::int64_t>::max();
  EXPECT_EQ(host_int(" +1_0\n"), 10);
  EXPECT_EQ(host_int("007"), 7);
  EXPECT_EQ(host_int("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(host_int("99999999999999999999999"), max);
  for (std::string_view refused : {"", " ", "1_", "_1", "1__0", "3.5", "0x3", "- 3",
                                   "\x1c"
                                   "3"})
    EXPECT_EQ(host_int(refused), std::nullopt) << refused;
  EXPECT_EQ(host_int(std::string(4300, '1')), max);
  EXPECT_EQ(host_int(std::string(4301, '1')), std::nullopt);
  EXPECT_EQ(host_int(Value::real(-2.9)), -2);
  EXPECT_EQ(host_int(Value::real(1e300)), max);
  EXPECT_EQ(host_int(Value::real(std::numeric_limits<double>::quiet_NaN())), std::nullopt);
  EXPECT_EQ(host_int(Value::boolean(true)), 1);
}

TEST(SuballeleBase, CapturesTheStarAndFirstDigits) {
  using normalize::suballele_base;
  EXPECT_EQ(suballele_base("*4.001"), "*4");
  EXPECT_EQ(suballele_base("*41.2\n"), "*41"); // "$" before a final line feed
  for (std::string_view other : {"*4", "*4.001A", "4.001", "*4.x", "*.1", "*4.1\n\n", " *4.1"})
    EXPECT_EQ(suballele_base(other), std::nullopt) << other;
}

} // namespace
} // namespace orvelle
