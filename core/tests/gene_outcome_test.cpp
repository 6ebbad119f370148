// core/tests/gene_outcome_test.cpp: a gene's result: the gene it refuses, and its warnings kept
// unique and in order.
#include "orvelle/errors.h"
#include "orvelle/records/gene_outcome.h"

#include <gtest/gtest.h>

namespace orvelle {

TEST(GeneOutcome, RefusesAnAbsentOrEmptyGene) {
  EXPECT_THROW(GeneOutcome(std::nullopt), ValueError);
  try {
    GeneOutcome outcome{std::string()};
    FAIL();
  } catch (const ValueError &error) {
    EXPECT_STREQ(error.what(), "gene symbol is required");
  }
}

TEST(GeneOutcome, WarningsAreUniqueNonEmptyAndInFirstAddedOrder) {
  GeneOutcome outcome{std::string("CYP2D6")};
  for (const char *w : {"b", "", "a", "b", "a", ""})
    outcome.add_warning(w);
  EXPECT_EQ(outcome.warnings, (std::vector<std::string>{"b", "a"}));
}

} // namespace orvelle
