// core/src/normalize/star_alleles.cpp: the star allele of each path: standard (sub-allele
// stripping, single-allele genes), HLA (fields truncated) and genotype-guided (alleles
// rewritten through the genotype-terms table).
#include "diplotype_pieces.h"
#include "table_members.h"

#include "orvelle/constants.h"
#include "orvelle/normalize/call_normalizer.h"
#include "orvelle/normalize/suballele.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {

using normalize::DiplotypePieces;

std::vector<std::string_view> CallNormalizer::split(std::string_view diplotype) {
  std::vector<std::string_view> pieces;
  DiplotypePieces walk(diplotype);
  for (std::string_view piece; walk.next(piece);)
    pieces.push_back(piece);
  return pieces;
}

std::string_view CallNormalizer::strip_suballele(std::string_view allele) const {
  if (!gene_rules_.strip_suballele_suffix.get())
    return allele;
  return normalize::suballele_base(text::strip(allele)).value_or(allele);
}

std::string CallNormalizer::core_allele(std::string_view allele) const {
  if (allele.find('+') == std::string_view::npos)
    return std::string(strip_suballele(allele));
  std::string joined;
  for (std::size_t start = 0; start <= allele.size();) {
    const std::size_t plus = std::min(allele.find('+', start), allele.size());
    if (start > 0)
      joined += '+';
    joined += strip_suballele(text::strip(allele.substr(start, plus - start)));
    start = plus + 1;
  }
  return joined;
}

std::optional<std::string> CallNormalizer::star_allele(const RawCall &call,
                                                       GeneOutcome &result) const {
  if (is_no_call(call.diplotype)) {
    result.add_warning("no diplotype called");
    return std::nullopt;
  }
  // A single-allele gene reported as a pair of equal alleles is that one allele; a mixed pair
  // (heteroplasmy, or a caller's guess) is no call: its first allele would hide the other. It
  // has two or more distinct alleles exactly when a later allele differs from the first.
  std::string joined, first;
  bool any = false, several_distinct = false;
  DiplotypePieces walk(*call.diplotype);
  for (std::string_view piece; walk.next(piece);) {
    const std::string allele = core_allele(piece);
    if (!any) {
      first = allele;
      any = true;
    } else {
      several_distinct = several_distinct || allele != first;
      joined += '/';
    }
    joined += allele;
  }
  if (!any) {
    result.add_warning("unparsable diplotype " + text::quoted(*call.diplotype));
    return std::nullopt;
  }
  if (gene_rules_.single_allele_genes.get().contains(call.gene)) {
    if (!several_distinct)
      return std::string(first);
    result.add_warning("single-allele gene reported as a diplotype: " +
                       text::quoted(*call.diplotype));
    return std::nullopt;
  }
  return joined;
}

std::optional<std::string> CallNormalizer::hla_star_allele(const RawCall &call) const {
  if (is_no_call(call.diplotype))
    return std::nullopt;
  const std::int64_t fields = gene_rules_.hla_allele_fields.get();
  std::string joined;
  bool any = false;
  DiplotypePieces walk(*call.diplotype);
  for (std::string_view piece; walk.next(piece);) {
    if (any)
      joined += '/';
    any = true;
    if (piece.front() != '*') {
      joined += piece;
      continue;
    }
    // The first `fields` of the ":"-separated parts, counted as a slice [:fields] would
    // (a negative count drops parts from the end).
    const std::string_view rest =
        piece.substr(std::min(piece.find_first_not_of('*'), piece.size()));
    const auto parts = static_cast<std::int64_t>(std::count(rest.begin(), rest.end(), ':')) + 1;
    const std::int64_t keep =
        fields >= 0 ? std::min(fields, parts) : std::max<std::int64_t>(0, parts + fields);
    std::size_t end = rest.size();
    if (keep < parts) { // end at the keep-th ':'
      end = 0;
      for (std::int64_t part = 0; part < keep; ++part)
        end = rest.find(':', part == 0 ? 0 : end + 1);
    }
    joined += '*';
    joined += rest.substr(0, end);
  }
  return any ? std::optional(std::move(joined)) : std::nullopt;
}

std::optional<std::string> CallNormalizer::genotype_guided_star_allele(const RawCall &call,
                                                                       GeneOutcome &result) {
  if (is_no_call(call.diplotype)) {
    result.add_warning("no diplotype called");
    return std::nullopt;
  }
  const normalize::TermIndex &allele_map = genotype_index_.alleles.get().entry(call.gene);
  std::string joined;
  bool any = false;
  DiplotypePieces walk(*call.diplotype);
  for (std::string_view piece; walk.next(piece);) {
    const json::Value *target = allele_map.find(piece);
    if (target == nullptr || target->is_null()) {
      // The first unmapped allele ends the diplotype: one gap, one warning.
      record_unmapped(call.gene, piece);
      result.add_warning("unmapped allele name " + text::quoted(piece));
      return std::nullopt;
    }
    if (any)
      joined += '/';
    any = true;
    joined += normalize::term_text(*target, constants::MAPPING_GENOTYPE_TERMS, call.gene, piece);
  }
  return any ? std::optional(std::move(joined)) : std::nullopt;
}

} // namespace orvelle
