// core/src/normalize/term_tables.cpp: the phenotype-terms and genotype-terms tables, resolved
// member by member.
#include "orvelle/normalize/term_tables.h"

#include "orvelle/constants.h"
#include "table_members.h"

namespace orvelle::normalize {
namespace {

Resolved<GeneSections> gene_sections(const TableMembers &table, std::string_view key) {
  return table.resolve<GeneSections>(key, {}, "an object", [&](const json::Value &value) {
    return value.is_object() ? std::optional(GeneSections(table.table(), key, value))
                             : std::nullopt;
  });
}

} // namespace

PhenotypeTerms::PhenotypeTerms(const json::Value &root) {
  const TableMembers table(constants::MAPPING_PHENOTYPE_TERMS, root);
  genes = gene_sections(table, "genes");
  global = table.resolve<TermIndex>("global", {}, "an object", [](const json::Value &value) {
    return value.is_object() ? std::optional(TermIndex(value)) : std::nullopt;
  });
}

GenotypeTerms::GenotypeTerms(const json::Value &root) {
  const TableMembers table(constants::MAPPING_GENOTYPE_TERMS, root);
  alleles = gene_sections(table, "alleles");
  diplotype_activity = gene_sections(table, "diplotype_activity");
}

} // namespace orvelle::normalize
