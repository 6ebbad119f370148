// orvelle/normalize/call_normalizer.h: the call normaliser: the only place where a
// caller's vocabulary becomes Orvelle vocabulary. Structural rules come from the gene-rules
// table, every term from the phenotype-terms and genotype-terms tables; an unmapped term
// leaves a gap, a warning on the result and an entry in unmapped_terms().
#pragma once

#include "orvelle/json/document.h"
#include "orvelle/normalize/gene_rules.h"
#include "orvelle/normalize/term_tables.h"
#include "orvelle/records/gene_outcome.h"
#include "orvelle/records/raw_call.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

class CallNormalizer {
public:
  using Table = std::shared_ptr<const json::Document>;
  /// "GENE\tterm" entries, in code-point order (UTF-8 byte order is code-point order).
  using UnmappedTerms = std::set<std::string, std::less<>>;

  /// Loads the packaged tables through mappings::load_mapping, in the order gene rules,
  /// phenotype terms, genotype terms; a failure to load propagates.
  CallNormalizer();
  /// Works on the given tables (for tests and fuzzing).
  CallNormalizer(Table rules, Table phenotype_terms, Table genotype_terms);

  // The tables, as taken in. Replacing one re-resolves what the normaliser derives from it.
  const json::Value &rules() const noexcept { return rules_->root(); }
  const json::Value &phenotype_terms() const noexcept { return phenotype_terms_->root(); }
  const json::Value &genotype_terms() const noexcept { return genotype_terms_->root(); }
  void set_rules(Table table);
  void set_phenotype_terms(Table table);
  void set_genotype_terms(Table table);
  /// The gene-rules table's members, resolved; re-resolved by set_rules.
  const normalize::GeneRules &gene_rules() const noexcept { return gene_rules_; }

  /// Every term that found no mapping so far; only normalize adds to it.
  const UnmappedTerms &unmapped_terms() const noexcept { return unmapped_terms_; }
  UnmappedTerms &unmapped_terms() noexcept { return unmapped_terms_; }

  /// A new object {MAPPING_GENE_RULES: version, MAPPING_PHENOTYPE_TERMS: version,
  /// MAPPING_GENOTYPE_TERMS: version}, null for a table without one. Write it out with
  /// json::Writer::value(document.root()).
  json::Document mapping_versions() const;

  /// One raw call in Orvelle terms. Problems of the call's content become warnings on the
  /// result; a table member of the wrong shape throws ValueError, an empty gene symbol the
  /// ValueError of GeneOutcome.
  GeneOutcome normalize(const RawCall &call);

  /// The first of the call's caveats that the gene rules list as leaving its phenotype
  /// uncertain (uncertain_phenotype_caveats), or nullptr.
  const std::string *uncertain_caveat(const RawCall &call) const;
  /// True when the call's phenotype is withheld, as final: its candidates differ, or a caveat
  /// says it may be another phenotype. The merge then fills the gap from no other call.
  bool phenotype_withheld(const RawCall &call) const;

  /// True when `source` is given and listed in passthrough_sources.
  bool is_passthrough(const std::optional<std::string> &source) const;
  /// True when `value` is absent or, stripped of surrounding white space, a no-call token.
  bool is_no_call(const std::optional<std::string> &value) const;
  /// Logs every unmapped term in one WARNING record (nothing when there is none).
  void log_unmapped() const;

  // The steps of normalize, each usable on its own.

  /// The caller's diplotype and first phenotype untouched; returns `result`.
  GeneOutcome &passthrough(const RawCall &call, GeneOutcome &result) const;
  bool is_genotype_guided(std::string_view gene) const;
  bool is_hla(std::string_view gene) const;
  /// The alleles of a diplotype: split on "/", stripped, empty pieces dropped.
  static std::vector<std::string_view> split(std::string_view diplotype);
  /// "*4" for "*4.001" when sub-allele stripping is on; otherwise `allele` unchanged.
  std::string_view strip_suballele(std::string_view allele) const;
  std::optional<std::string> star_allele(const RawCall &call, GeneOutcome &result) const;
  std::optional<std::string> hla_star_allele(const RawCall &call) const;
  std::optional<std::string> map_phenotypes(const RawCall &call, GeneOutcome &result,
                                            bool join_all = false);
  /// The table value for a caller phenotype (any JSON value, null included), or nullptr when
  /// neither the gene's entries nor the global ones have the phenotype.
  const json::Value *lookup_phenotype(std::string_view gene, std::string_view phenotype) const;
  std::optional<std::string> genotype_guided_star_allele(const RawCall &call, GeneOutcome &result);
  std::optional<std::string> genotype_guided_activity(std::string_view gene, GeneOutcome &result);

private:
  /// `allele` with its sub-allele stripped; a tandem ("*68 + *4.001", gene copies on one
  /// chromosome) part by part, the parts joined by a bare "+" as most callers write it.
  std::string core_allele(std::string_view allele) const;
  bool is_no_call_text(std::string_view value) const;
  /// True when every phenotype of the call is the caller's placeholder for a gene it cannot
  /// phenotype.
  static bool only_placeholders(const normalize::CallerRules &own, const RawCall &call);
  /// Why a diplotype with one of the caller's no-call haplotypes is no call (naming the
  /// haplotype that was called), or nullopt for a diplotype without one.
  /// True when the caller's separators split the diplotype into two or more alternatives
  /// (compared without regard to case).
  static bool offers_alternatives(const normalize::CallerRules &own, std::string_view diplotype);
  static std::optional<std::string> half_no_call(const normalize::CallerRules &own,
                                                 std::string_view source,
                                                 std::string_view diplotype);
  void record_unmapped(std::string_view gene, std::string_view term);

  Table rules_, phenotype_terms_, genotype_terms_;
  normalize::GeneRules gene_rules_;
  normalize::PhenotypeTerms phenotype_index_;
  normalize::GenotypeTerms genotype_index_;
  UnmappedTerms unmapped_terms_;
};

} // namespace orvelle
