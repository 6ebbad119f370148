// core/src/convert/orvelle_pgx_parser.cpp: construction, the phenotype-source check and
// preference, the caller ranking.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/host.h"
#include "orvelle/readers/reader_table.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {

const std::string &package_version() { return host::current().package_version(); }

const std::vector<std::pair<std::string_view, int>> &caller_ranks() {
  static const std::vector<std::pair<std::string_view, int>> ranks = [] {
    std::vector<std::pair<std::string_view, int>> listed;
    for (const CallerRank &entry : caller_rank_table())
      listed.emplace_back(entry.caller, entry.rank);
    std::ranges::stable_sort(listed, std::ranges::greater{},
                             [](const auto &entry) { return entry.second; });
    return listed;
  }();
  return ranks;
}

int caller_rank(std::string_view source) noexcept {
  for (const auto &[caller, rank] : caller_ranks())
    if (caller == source)
      return rank;
  return 0;
}

OrvellePgxParser::OrvellePgxParser(ConversionRequest request)
    : input_files(std::move(request.input_files)), input_dir(std::move(request.input_dir)),
      output_dir(std::move(request.output_dir)), output_json(std::move(request.output_json)),
      gzip_output(request.gzip_output), write_provenance_enabled(request.write_provenance),
      recover_dropped_genes(request.recover_dropped_genes),
      gene_filter(std::move(request.gene_filter)), normalizer(),
      phenotype_source(resolve_phenotype_source(request.phenotype_source)),
      sample(std::move(request.sample)), sample_label(std::move(request.sample_label)) {}

std::optional<std::string>
OrvellePgxParser::resolve_phenotype_source(const std::optional<RequestedSource> &requested) {
  if (!requested)
    return std::nullopt;
  const std::vector<std::string> &known = normalizer.gene_rules().phenotype_source_preference.get();
  const std::string wanted = text::upper(text::strip(requested->text));
  for (const std::string &entry : known)
    if (text::upper(entry) == wanted)
      return entry;
  log::warning("Unknown phenotype source %r; using the default order %s",
               {requested->original, text::join(", ", known)});
  return std::nullopt;
}

std::vector<std::string> OrvellePgxParser::source_preference() const {
  std::vector<std::string> order = normalizer.gene_rules().phenotype_source_preference.get();
  if (!phenotype_source || phenotype_source->empty())
    return order;
  std::vector<std::string> preferred{*phenotype_source};
  for (std::string &entry : order)
    if (entry != *phenotype_source)
      preferred.push_back(std::move(entry));
  return preferred;
}

} // namespace orvelle
