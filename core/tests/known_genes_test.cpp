// core/tests/known_genes_test.cpp: the known gene symbols, and finding them in a file name.
#include "orvelle/readers/known_genes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvelle {
namespace {

TEST(KnownGenes, SortedUpperCaseAndDistinct) {
  const auto genes = known_genes();
  EXPECT_TRUE(std::ranges::is_sorted(genes));
  EXPECT_EQ(std::ranges::adjacent_find(genes), genes.end());
  for (std::string_view gene : genes)
    EXPECT_EQ(known_gene(gene), gene);
}

TEST(KnownGenes, ATableCellIsTrimmedAndCaseIsIgnored) {
  EXPECT_EQ(known_gene(" cyp2d6\t"), "CYP2D6");
  EXPECT_EQ(known_gene("Mt-Rnr1"), "MT-RNR1");
  for (std::string_view other : {"", "Gene", "Sample", "123456", "HG00436", "CYP2D6.2021", "CYP2D"})
    EXPECT_EQ(known_gene(other), "") << other;
}

TEST(KnownGenes, InAFileNameOnlyAsAWordOfItsOwn) {
  using Found = std::vector<std::string_view>;
  EXPECT_EQ(known_genes_in("HG00276.CYP2D6.tsv"), Found{"CYP2D6"});
  EXPECT_EQ(known_genes_in("CYP2D6_results.tsv"), Found{"CYP2D6"});
  EXPECT_EQ(known_genes_in("grch37-CYP2D6-results.zip"), Found{"CYP2D6"});
  EXPECT_EQ(known_genes_in("HLA-B.tsv"), Found{"HLA-B"});
  EXPECT_EQ(known_genes_in("CYP2D6.CYP2C19.tsv"), (Found{"CYP2C19", "CYP2D6"}));
  // a symbol inside a longer word is none: F2 in CYP2F2, CYP2D6 in CYP2D6x
  EXPECT_EQ(known_genes_in("CYP2F2.tsv"), Found{});
  EXPECT_EQ(known_genes_in("CYP2D6x.tsv"), Found{});
  EXPECT_EQ(known_genes_in("data.tsv"), Found{});
}

} // namespace
} // namespace orvelle
