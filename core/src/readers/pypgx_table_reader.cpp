// core/src/readers/pypgx_table_reader.cpp
#include "orvelle/readers/pypgx_table_reader.h"

#include "deferred_warnings.h"
#include "table_rows.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {
namespace {

// Where the cells of `columns` sit in the rows of one table, in the order of `columns`;
// columns the header lacks are left out. Every row of a table carries the header's names in
// the same order, so this is worked out once per table.
std::vector<std::size_t> positions(const csv::DictRow &row,
                                   std::span<const std::string_view> columns) {
  std::vector<std::size_t> found;
  for (std::string_view column : columns)
    for (std::size_t i = 0; i < row.cells.size(); ++i)
      if (row.cells[i].first == column) {
        found.push_back(i);
        break;
      }
  return found;
}

// The first of the cells at `at` that the row has, cleaned as `value` describes.
std::optional<std::string> first_value(const csv::DictRow &row, std::span<const std::size_t> at) {
  for (std::size_t i : at) {
    const std::optional<std::string> &cell = row.cells[i].second;
    if (!cell)
      continue;
    std::string_view text = *cell;
    // Semicolons go before the blanks: "*1/*2; " keeps its ";".
    while (!text.empty() && text.back() == ';')
      text.remove_suffix(1);
    return std::string(text::strip(text));
  }
  return std::nullopt;
}

// Where the reader's columns sit in every row of one table.
struct TableLayout {
  explicit TableLayout(const csv::DictRow &names)
      : gene(positions(names, PyPgxTableReader::GENE_COLUMNS)),
        genotype(positions(names, std::span(&PyPgxTableReader::GENOTYPE_COLUMN, 1))),
        phenotype(positions(names, std::span(&PyPgxTableReader::PHENOTYPE_COLUMN, 1))) {
    for (const std::string_view &column : PyPgxTableReader::HAPLOTYPE_COLUMNS)
      haplotypes.push_back(positions(names, std::span(&column, 1)));
  }

  std::vector<std::size_t> gene, genotype, phenotype;
  std::vector<std::vector<std::size_t>> haplotypes;
};

// The data rows of a PyPGx table: tab-separated, the first row the header, which it must
// have.
class PyPgxRows : public TableRows {
public:
  explicit PyPgxRows(const std::string &path)
      : TableRows(io::read_text_sig(path), csv::Dialect{.delimiter = '\t'}) {
    if (!fieldnames() || fieldnames()->empty())
      throw ValueError(path + ": the table has no header row");
  }
};

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
  PyPgxRows table(file_path());
  std::vector<csv::DictRow> rows;
  for (csv::DictRow row; table.next(row);)
    rows.push_back(std::move(row));
  return rows;
}

std::optional<std::string> PyPgxTableReader::gene_from_file_name() const {
  std::string_view stem = io::base_name(file_path());
  std::size_t dot = stem.rfind('.');
  // As os.path.splitext: the dots that lead a hidden file's name start no extension.
  if (dot != std::string_view::npos && stem.find_first_not_of('.') < dot)
    stem = stem.substr(0, dot);
  stem = text::strip(stem);
  if (stem.empty())
    return std::nullopt;
  const std::string lowered = text::lower(stem);
  if (std::find(NON_GENE_STEMS.begin(), NON_GENE_STEMS.end(), lowered) != NON_GENE_STEMS.end())
    return std::nullopt;
  return std::string(stem);
}

std::optional<std::string> PyPgxTableReader::value(const csv::DictRow &row,
                                                   std::span<const std::string_view> columns) {
  return first_value(row, positions(row, columns));
}

std::vector<RawCall> PyPgxTableReader::parse() {
  // One pass over the rows; the whole table is still read before anything is reported.
  PyPgxRows table(file_path());
  const std::optional<std::string> gene_from_name = gene_from_file_name();
  std::optional<TableLayout> layout;
  std::vector<RawCall> calls;
  calls.reserve(table.row_estimate());
  DeferredWarnings warnings;
  for (csv::DictRow row; table.next(row);) {
    if (!layout)
      layout.emplace(row);
    std::optional<std::string> gene = first_value(row, layout->gene);
    if (!gene || gene->empty())
      gene = gene_from_name;
    if (!gene) {
      table.drain();
      warnings.flush();
      throw ValueError(file_path() +
                       ": cannot tell which gene this table is for - the file name is not a "
                       "gene symbol and there is no Gene column");
    }
    std::optional<std::string> genotype = first_value(row, layout->genotype);
    std::optional<std::string> phenotype = first_value(row, layout->phenotype);
    if (!genotype && !phenotype) {
      warnings.add([gene = *gene] { log_skip(gene, "no Genotype or Phenotype column"); });
      continue;
    }
    RawCall &call = calls.emplace_back();
    call.gene = std::move(*gene);
    call.diplotype = std::move(genotype);
    for (const std::vector<std::size_t> &at : layout->haplotypes)
      if (std::optional<std::string> haplotype = first_value(row, at);
          haplotype && !haplotype->empty())
        call.haplotypes.push_back(std::move(*haplotype));
    if (phenotype)
      call.phenotypes.emplace_back(std::move(phenotype));
    call.source = std::string(source_name());
  }
  warnings.flush();
  if (calls.empty())
    throw ValueError(file_path() + ": no usable rows - a PyPGx table needs a " +
                     std::string(GENOTYPE_COLUMN) + " or " + std::string(PHENOTYPE_COLUMN) +
                     " column and one data row");
  return calls;
}

} // namespace orvelle
