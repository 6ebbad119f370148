// core/src/readers/pharmcat_report_tsv_reader.cpp: PharmCAT's calls-only report read into the
// calls its report JSON gives.
#include "orvelle/readers/pharmcat_report_tsv_reader.h"

#include "deferred_warnings.h"
#include "pharmcat_recommendation.h"
#include "sample_rows.h"
#include "table_rows.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/json/document.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {
namespace {

// How PharmCAT joins what one cell holds several of.
constexpr std::string_view CANDIDATES = " OR ";       // unphased, equally likely diplotypes
constexpr std::string_view HAPLOTYPES_ONLY = " AND "; // single haplotypes, no diplotype
constexpr std::string_view PER_CANDIDATE = " / ";     // a value of each candidate
constexpr std::string_view PHENOTYPES = ", ";         // several phenotypes of one diplotype
// What the table writes for a gene the report JSON calls Unknown/Unknown.
constexpr std::string_view NO_CALL = "no call";
constexpr std::string_view UNKNOWN_DIPLOTYPE = "Unknown/Unknown";

// The first line (the version line, without its line end) and the text after it.
std::pair<std::string_view, std::string_view> version_line(std::string_view text) {
  const std::size_t end = std::min(text.find('\n'), text.size());
  std::string_view line = text.substr(0, end);
  if (line.ends_with('\r'))
    line.remove_suffix(1);
  return {line, text.substr(std::min(end + 1, text.size()))};
}

std::optional<std::size_t> position(std::span<const csv::Column> columns, std::string_view name) {
  for (const csv::Column &column : columns)
    if (column.name == name)
      return column.position;
  return std::nullopt;
}

struct ColumnPositions {
  ColumnPositions(std::span<const csv::Column> columns,
                  const PharmcatReportTsvReader::CallColumns &names)
      : diplotype(position(columns, names.diplotype)),
        phenotype(position(columns, names.phenotype)),
        activity_score(position(columns, names.activity_score)) {}

  std::optional<std::size_t> diplotype, phenotype, activity_score;
};

// Where the reader's columns sit in every row.
struct Layout {
  explicit Layout(std::span<const csv::Column> columns)
      : gene(position(columns, PharmcatReportTsvReader::GENE_COLUMN)),
        sample(position(columns, PharmcatReportTsvReader::SAMPLE_COLUMN)),
        source(columns, PharmcatReportTsvReader::SOURCE_COLUMNS),
        recommendation(columns, PharmcatReportTsvReader::RECOMMENDATION_COLUMNS) {
    for (std::string_view name : PharmcatReportTsvReader::HAPLOTYPE_COLUMNS)
      haplotypes.push_back(position(columns, name));
  }

  std::optional<std::size_t> gene, sample;
  ColumnPositions source, recommendation;
  std::vector<std::optional<std::size_t>> haplotypes;
};

std::string_view cell(const csv::Row &row, std::optional<std::size_t> at) {
  if (!at)
    return {};
  return text::strip(row.at(*at).value_or(""));
}

std::string quoted_list(std::span<const std::string_view> texts) {
  std::vector<std::string> quoted;
  for (std::string_view text : texts)
    quoted.push_back(text::quoted(text));
  return text::join(", ", quoted);
}

// A diplotype's phenotypes as the report JSON lists them.
std::vector<std::string_view> phenotypes_of(std::string_view cell) {
  if (cell.empty())
    return {};
  return text::split_stripped(cell, PHENOTYPES);
}

// The note on a call read from the first of several candidates, worded as the report JSON
// reader words it; true when their phenotypes differ.
bool note_candidates(std::span<const std::string_view> candidates,
                     std::span<const std::string_view> phenotypes,
                     std::vector<std::string> &notes) {
  auto phenotypes_at = [&](std::size_t i) {
    return phenotypes_of(i < phenotypes.size() ? phenotypes[i] : std::string_view());
  };
  bool differ = false;
  for (std::size_t i = 1; i < candidates.size(); ++i)
    differ = differ || phenotypes_at(i) != phenotypes_at(0);
  std::string note = std::to_string(candidates.size()) + " source diplotypes reported (";
  if (!differ) {
    note += quoted_list(candidates) + "); using the first";
  } else {
    for (std::size_t i = 0; i < candidates.size(); ++i)
      note.append(i == 0 ? "" : ", ")
          .append(text::quoted(candidates[i]))
          .append(": [")
          .append(quoted_list(phenotypes_at(i)))
          .append("]");
    note += "); using the first without an Activity, as their phenotypes differ";
  }
  notes.push_back(std::move(note));
  return differ;
}

// Alleles the table names where the report JSON's label says "Reference": PharmCAT's CFTR
// reference allele (seen in the v3.0 and v3.1 example reports, label "Reference/Reference",
// table "ivacaftor non-responsive CFTR sequence/ivacaftor non-responsive CFTR sequence").
struct ReferenceName {
  std::string_view gene, name;
};
constexpr ReferenceName REFERENCE_NAMES[] = {{"CFTR", "ivacaftor non-responsive CFTR sequence"}};
constexpr std::string_view REFERENCE = "Reference";

// The diplotype as the report JSON labels it.
std::string json_label(std::string_view diplotype, std::string_view gene) {
  if (diplotype == NO_CALL)
    return std::string(UNKNOWN_DIPLOTYPE);
  const auto *reference = std::ranges::find(REFERENCE_NAMES, gene, &ReferenceName::gene);
  if (reference == std::end(REFERENCE_NAMES))
    return std::string(diplotype);
  std::string label;
  for (std::string_view allele : text::split_stripped(diplotype, "/"))
    label.append(label.empty() ? "" : "/").append(allele == reference->name ? REFERENCE : allele);
  return label;
}

// A haplotype name without the gene symbol PharmCAT 3.0 puts before it ("CYP2D6*3",
// "RYR1 Reference").
std::string_view without_gene(std::string_view name, std::string_view gene) {
  if (name.size() > gene.size() && name.starts_with(gene))
    return text::strip(name.substr(gene.size()));
  return name;
}

// A row read into a call, held until the file's end tells whether its sample is the one taken.
struct PendingRow {
  RowMatch match;
  std::optional<RawCall> call;
  std::string gene;
  std::size_t candidates = 1;
};

} // namespace

bool PharmcatReportTsvReader::is_report_tsv(std::span<const std::vector<std::string>> rows) {
  if (rows.size() < 2 || rows[0].empty() || !rows[0][0].starts_with(VERSION_PREFIX))
    return false;
  auto has = [&](std::string_view name) {
    return std::ranges::find(rows[1], name) != rows[1].end();
  };
  return has(GENE_COLUMN) && has(SOURCE_COLUMNS.diplotype);
}

std::optional<json::Document> PharmcatReportTsvReader::read_versions() const {
  const std::string text = io::read_text_sig(file_path());
  const std::string_view line = version_line(text).first;
  if (!line.starts_with(VERSION_PREFIX))
    throw not_recognised(file_path(), EXPECTED);
  json::DocumentBuilder builder;
  const json::Member version{"pharmcatVersion",
                             builder.string(text::strip(line.substr(VERSION_PREFIX.size())))};
  json::Value versions = builder.object(std::span(&version, 1));
  return builder.finish(versions);
}

std::vector<RawCall> PharmcatReportTsvReader::parse() {
  const std::string text = io::read_text_sig(file_path());
  const auto [line, rest] = version_line(text);
  if (!line.starts_with(VERSION_PREFIX))
    throw not_recognised(file_path(), EXPECTED);
  TableRows table(std::string(rest), csv::Dialect{.delimiter = '\t'});
  const Layout layout(table.columns());
  if (!layout.gene || !layout.source.diplotype)
    throw not_recognised(file_path(), EXPECTED);

  const bool by_sample = one_sample_ && layout.sample.has_value();
  SampleRows samples(sample_);
  std::vector<PendingRow> pending;
  for (csv::Row row; table.next(row);) {
    const RowMatch match = by_sample ? samples.note(cell(row, layout.sample)) : RowMatch::exact;
    if (match == RowMatch::other)
      continue;
    PendingRow &held =
        pending.emplace_back(PendingRow{match, std::nullopt, std::string(cell(row, layout.gene))});
    const std::string_view source = cell(row, layout.source.diplotype);
    if (source.empty())
      continue;
    // Where PharmCAT looks its guidance up with another diplotype than it called (single
    // haplotypes among them), the call is read from the Recommendation Lookup columns by the
    // rule the report JSON reader follows.
    const bool haplotypes_only = source.find(HAPLOTYPES_ONLY) != std::string_view::npos;
    std::optional<pharmcat::InferredReading> reading;
    if (const std::string_view recommended = cell(row, layout.recommendation.diplotype);
        !recommended.empty()) {
      pharmcat::LookupDiplotypes reported;
      for (std::string_view label :
           text::split_stripped(source, haplotypes_only ? HAPLOTYPES_ONLY : CANDIDATES))
        reported.source_labels.push_back(haplotypes_only ? std::string(label)
                                                         : json_label(label, held.gene));
      reported.single_haplotypes = haplotypes_only;
      reported.recommendation_label = json_label(recommended, held.gene);
      reading = pharmcat::inferred_reading(held.gene, reported);
    }
    const ColumnPositions &columns = reading ? layout.recommendation : layout.source;
    RawCall &call = held.call.emplace();
    call.gene = held.gene;
    if (reading)
      call.warnings.push_back(reading->warning);
    const std::vector<std::string_view> candidates =
        text::split_stripped(cell(row, columns.diplotype), CANDIDATES);
    std::vector<std::string_view> phenotypes{cell(row, columns.phenotype)};
    std::vector<std::string_view> scores{cell(row, columns.activity_score)};
    held.candidates = candidates.size();
    if (candidates.size() > 1) {
      phenotypes = text::split_stripped(phenotypes.front(), PER_CANDIDATE);
      scores = text::split_stripped(scores.front(), PER_CANDIDATE);
      call.ambiguous_phenotype = note_candidates(candidates, phenotypes, call.warnings);
    }
    call.diplotype = reading ? reading->star_label : json_label(candidates.front(), call.gene);
    if (candidates.size() == 1)
      for (const std::optional<std::size_t> &at : layout.haplotypes)
        if (std::string_view name = cell(row, at); !name.empty())
          call.haplotypes.emplace_back(without_gene(name, call.gene));
    for (std::string_view phenotype : phenotypes_of(phenotypes.front()))
      call.phenotypes.emplace_back(std::in_place, phenotype);
    if (!scores.front().empty())
      call.activity_score = std::string(scores.front());
    call.source = std::string(source_name());
  }
  if (by_sample)
    named_ = samples.taken();

  const std::optional<std::string> several = samples.note_on_each(io::base_name(file_path()));
  std::vector<RawCall> calls;
  std::size_t taken = 0, known = 0;
  DeferredWarnings warnings;
  auto defer_skip = [&warnings](std::string gene, std::string reason) {
    warnings.add([gene = std::move(gene), reason = std::move(reason)] { log_skip(gene, reason); });
  };
  for (PendingRow &held : pending) {
    if (!samples.belongs(held.match))
      continue;
    ++taken;
    if (!keep_table_gene(held.gene, [&](std::string gene) {
          defer_skip(std::move(gene), std::string(UNKNOWN_GENE));
        }))
      continue;
    ++known;
    if (!held.call) {
      defer_skip(held.gene, "no Source Diplotype");
      continue;
    }
    if (held.candidates > 1)
      warnings.add([gene = held.gene, count = static_cast<std::int64_t>(held.candidates)] {
        log::warning("%s has %d source diplotypes; using the first", {gene, count});
      });
    if (several)
      held.call->warnings.push_back(*several);
    calls.push_back(std::move(*held.call));
  }
  warnings.flush();
  if (known == 0 && !unknown_genes().empty())
    throw not_recognised(file_path(), EXPECTED);
  // Another sample's rows are never this one's: the genes are left to the other inputs.
  if (taken == 0 && samples.asked() && samples.sample_count() > 0)
    log::warning(
        "%s: no row for sample %r among the report's %d samples",
        {file_path(), *samples.taken(), static_cast<std::int64_t>(samples.sample_count())});
  return calls;
}

} // namespace orvelle
