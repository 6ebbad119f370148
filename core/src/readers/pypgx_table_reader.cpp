// core/src/readers/pypgx_table_reader.cpp: PyPGx per-gene sample tables read row by row into
// calls.
#include "orvelle/readers/pypgx_table_reader.h"

#include "deferred_warnings.h"
#include "pypgx_archive.h"
#include "sample_rows.h"
#include "sample_table_index.h"
#include "table_rows.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/json/document.h"
#include "orvelle/readers/known_genes.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {
namespace {

// Where the cells of `names` sit in every row of one table: the header positions of those of
// `names` the header has, in the order of `names`.
std::vector<std::size_t> positions(std::span<const csv::Column> columns,
                                   std::span<const std::string_view> names) {
  std::vector<std::size_t> found;
  for (std::string_view name : names)
    for (const csv::Column &column : columns)
      if (column.name == name) {
        found.push_back(column.position);
        break;
      }
  return found;
}

// A cell as the reader takes it: its trailing semicolons dropped, then its blanks.
std::string_view cleaned(std::string_view text) {
  // Semicolons go before the blanks: "*1/*2; " keeps its ";".
  while (!text.empty() && text.back() == ';')
    text.remove_suffix(1);
  return text::strip(text);
}

// The first of the fields at `at` that the row (a csv::Row or an IndexedRow) has, cleaned.
template <typename Row>
std::optional<std::string_view> first_value(const Row &row, std::span<const std::size_t> at) {
  for (std::size_t i : at)
    if (std::optional<std::string_view> field = row.at(i))
      return cleaned(*field);
  return std::nullopt;
}

// Where the reader's columns sit in every row of one table.
struct TableLayout {
  explicit TableLayout(std::span<const csv::Column> columns)
      : gene(positions(columns, PyPgxTableReader::GENE_COLUMNS)),
        genotype(positions(columns, std::span(&PyPgxTableReader::GENOTYPE_COLUMN, 1))),
        phenotype(positions(columns, std::span(&PyPgxTableReader::PHENOTYPE_COLUMN, 1))),
        alternative_phase(
            positions(columns, std::span(&PyPgxTableReader::ALTERNATIVE_PHASE_COLUMN, 1))) {
    for (const std::string_view &column : PyPgxTableReader::HAPLOTYPE_COLUMNS)
      haplotypes.push_back(positions(columns, std::span(&column, 1)));
  }

  std::vector<std::size_t> gene, genotype, phenotype, alternative_phase;
  std::vector<std::vector<std::size_t>> haplotypes;
};

// Where a row names its sample: the first column, which PyPGx writes without a header name,
// unless the header gives that column one of the names the reader reads.
std::optional<std::size_t> sample_position(const std::vector<std::string> &header) {
  const std::string_view first = header.front();
  auto named = [&](std::string_view column) { return first == column; };
  const auto &genes = PyPgxTableReader::GENE_COLUMNS;
  const auto &haplotypes = PyPgxTableReader::HAPLOTYPE_COLUMNS;
  if (named(PyPgxTableReader::GENOTYPE_COLUMN) || named(PyPgxTableReader::PHENOTYPE_COLUMN) ||
      std::any_of(genes.begin(), genes.end(), named) ||
      std::any_of(haplotypes.begin(), haplotypes.end(), named))
    return std::nullopt;
  return 0;
}

// A row read into a call (or found unusable), held until the table's end tells whether its
// sample is the one taken.
struct PendingRow {
  RowMatch match;
  bool usable;
  RawCall call;
};

// The data rows of a PyPGx table: tab-separated, the first row the header, which it must
// have.
class PyPgxRows : public TableRows {
public:
  PyPgxRows(std::string text, const std::string &path)
      : TableRows(std::move(text), csv::Dialect{.delimiter = '\t'}) {
    if (!fieldnames() || fieldnames()->empty())
      throw ValueError(path + ": the table has no header row");
  }
};

bool is_archive(const std::string &path) { return text::lower(path).ends_with(".zip"); }

// The table's text, from the file itself or from the results archive it is.
std::string table_text(const std::string &path, std::optional<PyPgxArchive> &archive) {
  if (!is_archive(path))
    return io::read_text_sig(path);
  archive = read_pypgx_archive(path);
  return std::move(archive->table);
}

} // namespace

bool PyPgxTableReader::is_pypgx_table(std::span<const std::string> header) {
  bool genotype = false, phenotype = false;
  for (const std::string &cell : header) {
    std::string_view name = text::strip(cell);
    genotype = genotype || name == GENOTYPE_COLUMN;
    phenotype = phenotype || name == PHENOTYPE_COLUMN;
  }
  return genotype && phenotype;
}

std::vector<csv::DictRow> PyPgxTableReader::read_rows() const {
  std::optional<PyPgxArchive> archive;
  PyPgxRows table(table_text(file_path(), archive), file_path());
  std::vector<csv::DictRow> rows;
  for (csv::DictRow row; table.next(row);)
    rows.push_back(std::move(row));
  return rows;
}

std::optional<std::string> PyPgxTableReader::gene_from_file_name() const {
  const std::vector<std::string_view> genes = known_genes_in(io::uncompressed_name(file_path()));
  if (genes.size() != 1)
    return std::nullopt;
  return std::string(genes.front());
}

std::optional<json::Document> PyPgxTableReader::read_versions() const {
  if (!is_archive(file_path()))
    return std::nullopt;
  const PyPgxArchive archive = read_pypgx_archive(file_path());
  json::DocumentBuilder builder;
  const json::Member assembly{"pypgxAssembly",
                              archive.assembly ? builder.string(*archive.assembly) : json::Value()};
  json::Value versions = builder.object(std::span(&assembly, 1));
  return builder.finish(versions);
}

std::optional<std::string> PyPgxTableReader::value(const csv::DictRow &row,
                                                   std::span<const std::string_view> columns) {
  for (std::string_view column : columns)
    for (const auto &[name, cell] : row.cells)
      if (name == column) {
        if (cell)
          return std::string(cleaned(*cell));
        break;
      }
  return std::nullopt;
}

void PyPgxTableReader::read_calls(const CallSink &new_call) {
  // A large table of several samples is read once per process (sample_table_index.h) when
  // one named sample's rows are wanted; any other is read whole, in one pass, before anything
  // is reported.
  const std::shared_ptr<const SampleTableIndex> index =
      one_sample_ && sample_ && !is_archive(file_path()) ? indexed_table(file_path()) : nullptr;
  std::optional<PyPgxArchive> archive;
  std::optional<PyPgxRows> table;
  if (!index)
    table.emplace(table_text(file_path(), archive), file_path());
  const std::optional<std::string> gene_from_name = archive ? archive->gene : gene_from_file_name();
  const TableLayout layout(index ? std::span(index->columns) : table->columns());
  const std::optional<std::size_t> sample_at =
      one_sample_ ? sample_position(index ? index->header : *table->fieldnames()) : std::nullopt;
  std::optional<SampleRows> samples;
  if (index && sample_at)
    samples.emplace(*sample_, index->first, index->suffix, index->rows_of.size(),
                    index->rows_of.contains(*sample_));
  else
    samples.emplace(sample_);
  std::vector<PendingRow> pending;

  // Takes a row of the sample's into `pending`; false when the row cannot tell its gene.
  auto take = [&](const auto &row, RowMatch match) {
    std::optional<std::string_view> gene = first_value(row, layout.gene);
    if (!gene || gene->empty())
      gene = gene_from_name;
    if (!gene)
      return false;
    PendingRow &held = pending.emplace_back(PendingRow{match, false, {}});
    held.call.gene = *gene;
    const std::optional<std::string_view> genotype = first_value(row, layout.genotype);
    const std::optional<std::string_view> phenotype = first_value(row, layout.phenotype);
    if (!genotype && !phenotype)
      return true;
    held.usable = true;
    RawCall &call = held.call;
    call.diplotype = genotype;
    call.haplotypes.reserve(layout.haplotypes.size());
    for (const std::vector<std::size_t> &at : layout.haplotypes)
      if (std::optional<std::string_view> haplotype = first_value(row, at);
          haplotype && !haplotype->empty())
        call.haplotypes.emplace_back(*haplotype);
    if (phenotype)
      call.phenotypes.emplace_back(std::in_place, *phenotype);
    if (std::optional<std::string_view> alleles = first_value(row, layout.alternative_phase);
        alleles && !alleles->empty())
      call.warnings.push_back("PyPGx's AlternativePhase lists " + std::string(*alleles) +
                              ": statistical phasing may have missed it, and with it another "
                              "diplotype and phenotype");
    call.source.emplace(source_name());
    return true;
  };
  auto no_gene = [&] {
    for (const PendingRow &held : pending) // as the rows before it would have been reported
      if (!held.usable && held.match == RowMatch::exact)
        log_skip(held.call.gene, "no Genotype or Phenotype column");
    throw ValueError(file_path() +
                     ": cannot tell which gene this table is for - there is no Gene column "
                     "and the file name holds no known gene symbol, or several");
  };

  if (index && sample_at) {
    for (std::size_t at : index->candidate_rows(*sample_)) {
      const IndexedRow &row = index->rows[at];
      const bool exact = text::strip(row.at(*sample_at).value_or("")) == *sample_;
      if (!take(row, exact ? RowMatch::exact : RowMatch::suffixed))
        no_gene();
    }
  } else if (index) {
    for (const IndexedRow &row : index->rows)
      if (!take(row, RowMatch::exact))
        no_gene();
  } else {
    for (csv::Row row; table->next(row);) {
      RowMatch match = RowMatch::exact;
      if (sample_at)
        match = samples->note(text::strip(row.at(*sample_at).value_or("")));
      if (match == RowMatch::other)
        continue;
      if (!take(row, match)) {
        table->drain();
        no_gene();
      }
    }
  }

  const std::optional<std::string> several = samples->note_on_each(io::base_name(file_path()));
  std::size_t calls = 0, taken = 0, known = 0;
  DeferredWarnings warnings;
  for (PendingRow &held : pending) {
    if (!samples->belongs(held.match))
      continue;
    ++taken;
    if (!keep_table_gene(held.call.gene, [&warnings](std::string gene) {
          warnings.add([gene = std::move(gene)] { log_skip(gene, UNKNOWN_GENE); });
        }))
      continue;
    ++known;
    if (!held.usable) {
      warnings.add([gene = std::move(held.call.gene)] {
        log_skip(gene, "no Genotype or Phenotype column");
      });
      continue;
    }
    if (several)
      held.call.warnings.push_back(*several);
    new_call() = std::move(held.call);
    ++calls;
  }
  warnings.flush();
  if (sample_at && taken > 0)
    named_ = samples->taken();
  // Another sample's rows are never this one's: the gene is left to the other inputs.
  if (samples->warn_if_missing(file_path(), taken))
    return;
  if (known == 0 && !unknown_genes().empty())
    throw not_recognised(file_path(), archive ? EXPECTED_ARCHIVE : EXPECTED);
  if (calls == 0)
    throw ValueError(file_path() + ": no usable rows - a PyPGx table needs a " +
                     std::string(GENOTYPE_COLUMN) + " or " + std::string(PHENOTYPE_COLUMN) +
                     " column and one data row");
}

} // namespace orvelle
