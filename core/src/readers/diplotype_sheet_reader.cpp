// core/src/readers/diplotype_sheet_reader.cpp: user-made Gene/Diplotype tables: column
// names guessed, CSV sheets and the JSON shapes read into calls.
#include "orvelle/readers/diplotype_sheet_reader.h"

#include "deferred_warnings.h"
#include "table_rows.h"

#include "orvelle/csv/sniffer.h"
#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/log.h"
#include "orvelle/readers/known_genes.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {
namespace {

std::string normalised_name(std::string_view name) {
  const std::string lowered = text::lower(text::strip(name));
  std::string out;
  out.reserve(lowered.size());
  for (char c : lowered)
    if (c != ' ')
      out.push_back(c == '-' ? '_' : c);
  return out;
}

std::vector<std::string> normalised_names(std::span<const json::Member> row) {
  std::vector<std::string> names;
  names.reserve(row.size());
  for (const json::Member &member : row)
    names.push_back(normalised_name(member.key));
  return names;
}

// Where the aliases of one list find their columns, for rows that share one list of names.
class AliasColumns {
public:
  AliasColumns(std::span<const std::string> names, std::span<const std::string_view> aliases) {
    for (std::string_view alias : aliases) {
      std::size_t at = names.size();
      for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == alias)
          at = i; // of names alike, the later one counts
      if (at != names.size())
        columns_.push_back(at);
    }
  }

  /// The value of the first alias that holds something other than null or "".
  const json::Value *pick(std::span<const json::Member> row) const {
    for (std::size_t at : columns_) {
      const json::Value &value = row[at].value;
      if (!value.is_null() && !(value.is_string() && value.size() == 0))
        return &value;
    }
    return nullptr;
  }

private:
  std::vector<std::size_t> columns_;
};

// The reader's three alias lists over one list of names.
struct RowPicker {
  explicit RowPicker(std::span<const std::string> names)
      : gene(names, DiplotypeSheetReader::GENE_ALIASES),
        diplotype(names, DiplotypeSheetReader::DIPLOTYPE_ALIASES),
        phenotype(names, DiplotypeSheetReader::PHENOTYPE_ALIASES) {}

  AliasColumns gene, diplotype, phenotype;
};

// The value's text, trimmed, written into `out` (in place: no temporary to move).
void assign_trimmed(std::string &out, const json::Value &value) {
  if (value.is_string())
    out.assign(text::strip(value.as_string()));
  else
    out.assign(text::strip(text::to_text(value)));
}

// The host's rendering of a CSV row as its dict: cells missing from a short line as None, the
// cells beyond the header under the key None.
std::string csv_row_repr(const csv::DictRow &row) {
  std::string out = "{";
  auto separate = [&out] {
    if (out.size() > 1)
      out += ", ";
  };
  for (const auto &[name, value] : row.cells) {
    separate();
    out += text::quoted(name);
    out += ": ";
    out += text::quoted_or_none(value);
  }
  if (row.has_rest) {
    separate();
    out += "None: [";
    for (std::size_t i = 0; i < row.rest.size(); ++i)
      out += (i == 0 ? "" : ", ") + text::quoted(row.rest[i]);
    out += "]";
  }
  return out += "}";
}

// Fills one row's call into a new call from `new_call`; false when the row is skipped (its
// warning kept in `warnings`). `row_repr` renders the row for the warning about a missing
// gene column.
template <typename RowRepr>
bool to_raw_call(std::span<const json::Member> row, const RowPicker &picker, IPgxReader &reader,
                 DeferredWarnings &warnings, std::size_t &known_genes, const RowRepr &row_repr,
                 const CallSink &new_call) {
  const json::Value *gene = picker.gene.pick(row);
  auto skip = [&warnings](std::string_view gene, std::string reason) {
    warnings.add([gene = std::string(gene), reason = std::move(reason)] {
      IPgxReader::log_skip(gene, reason);
    });
  };
  if (gene == nullptr) {
    if (log::enabled(log::Level::warning))
      warnings.add([path = reader.file_path(), row = row_repr()] {
        log::warning("Row without a gene column in %s: %s", {path, row});
      });
    return false;
  }
  // A JSON cell may hold anything; only a text names a gene.
  if (!gene->is_string()) {
    skip(text::to_text(*gene), wrong_type("gene", *gene, reader.file_path()));
    return false;
  }
  const std::string_view gene_symbol = text::strip(gene->as_string());
  // A gene of blanks would make a call that no result can be built from; drop only this row.
  if (gene_symbol.empty()) {
    skip(reader.file_path(), "empty gene symbol");
    return false;
  }
  if (!reader.keep_table_gene(gene_symbol, [&](std::string unknown) {
        skip(unknown, std::string(IPgxReader::UNKNOWN_GENE));
      }))
    return false;
  ++known_genes;
  const json::Value *diplotype = picker.diplotype.pick(row);
  if (diplotype == nullptr) {
    skip(gene->as_string(), "no diplotype column");
    return false;
  }
  const json::Value *phenotype = picker.phenotype.pick(row);
  // A list or an object has no text that could stand for a diplotype or a phenotype.
  auto unusable = [&](std::string_view field, const json::Value *value) {
    if (value == nullptr || !(value->is_array() || value->is_object()))
      return false;
    skip(gene_symbol, wrong_type(field, *value, reader.file_path()));
    return true;
  };
  if (unusable("diplotype", diplotype) || unusable("phenotype", phenotype))
    return false;

  RawCall &call = new_call();
  // A hand-typed "cyp2d6" is the gene CYP2D6: one gene never gets two records.
  call.gene = known_gene(gene_symbol);
  if (call.gene != gene_symbol)
    call.warnings.push_back("gene " + text::quoted(gene_symbol) + " read as its symbol " +
                            text::quoted(call.gene));
  assign_trimmed(call.diplotype.emplace(), *diplotype);
  if (phenotype != nullptr)
    assign_trimmed(call.phenotypes.emplace_back(std::in_place).value(), *phenotype);
  call.source.emplace(reader.source_name());
  return true;
}

void append_flattened(json::DocumentBuilder &builder, const json::Value &mapping,
                      std::vector<json::Value> &rows) {
  for (const json::Member &member : mapping.members()) {
    std::vector<json::Member> row;
    if (member.value.is_string()) {
      row = {{"gene", builder.string(member.key)},
             {"diplotype", builder.string(member.value.as_string())}};
    } else if (member.value.is_object()) {
      for (const json::Member &cell : member.value.members())
        row.push_back({builder.key(cell.key), builder.copy(cell.value)});
      if (member.value.find("gene") == nullptr)
        row.push_back({"gene", builder.string(member.key)});
    } else {
      continue;
    }
    rows.push_back(builder.object(row));
  }
}

void append_objects(json::DocumentBuilder &builder, const json::Value &array,
                    std::vector<json::Value> &rows) {
  for (const json::Value &item : array.items())
    if (item.is_object())
      rows.push_back(builder.copy(item));
}

// x.csv.gz is a CSV table too.
bool ends_with_csv(const std::string &path) {
  return text::lower(io::uncompressed_name(path)).ends_with(".csv");
}

// The data rows of a CSV sheet, in the dialect the host's sniffer guesses from the sheet's
// first characters (the default dialect where it cannot tell).
TableRows sheet_rows(const std::string &path) {
  std::string text = io::read_text_sig(path);
  const csv::Dialect dialect = csv::sniff(csv::sniff_sample(text), ",;\t").value_or(csv::Dialect{});
  return TableRows(std::move(text), dialect);
}

} // namespace

void DiplotypeSheetReader::read_calls(const CallSink &new_call) {
  std::size_t calls = 0, known_genes = 0;
  DeferredWarnings warnings;
  if (ends_with_csv(file_path())) {
    // One pass over the rows, which all carry the header's names in one order: the names are
    // normalised once, and each row is looked at through one reused list of cells.
    TableRows sheet = sheet_rows(file_path());
    const std::span<const csv::Column> columns = sheet.columns();
    std::vector<json::Member> cells;
    for (const csv::Column &column : columns)
      cells.push_back({column.name, json::Value()});
    const RowPicker picker(normalised_names(cells));
    for (csv::Row row; sheet.next(row);) {
      for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::optional<std::string_view> field = row.at(columns[i].position);
        cells[i].value = field ? json::Value::string(*field) : json::Value();
      }
      calls += to_raw_call(
          cells, picker, *this, warnings, known_genes,
          [&] { return csv_row_repr(sheet.dict_row(row)); }, new_call);
    }
  } else {
    const json::Document rows = read_json();
    for (const json::Value &row : rows.root().items()) {
      const RowPicker picker(normalised_names(row.members()));
      calls += to_raw_call(
          row.members(), picker, *this, warnings, known_genes, [&row] { return text::repr(row); },
          new_call);
    }
  }
  warnings.flush();
  if (known_genes == 0 && !unknown_genes().empty())
    throw not_recognised(file_path(), EXPECTED);
  if (calls == 0)
    throw ValueError(file_path() +
                     ": no usable rows - the minimum is a Gene and a Diplotype per row");
}

std::vector<csv::DictRow> DiplotypeSheetReader::read_csv() const {
  TableRows sheet = sheet_rows(file_path());
  std::vector<csv::DictRow> rows;
  for (csv::DictRow row; sheet.next(row);)
    rows.push_back(std::move(row));
  return rows;
}

json::Document DiplotypeSheetReader::read_json() const {
  const json::Document document = load_json();
  const json::Value &data = document.root();
  json::DocumentBuilder builder;
  std::vector<json::Value> rows;
  if (data.is_array()) {
    append_objects(builder, data, rows);
  } else if (data.is_object()) {
    bool found = false;
    for (std::string_view key : CONTAINER_KEYS) {
      const json::Value *container = data.find(key);
      if (container == nullptr)
        continue;
      if (container->is_array())
        append_objects(builder, *container, rows);
      else if (container->is_object())
        append_flattened(builder, *container, rows);
      else
        continue;
      found = true;
      break;
    }
    if (!found)
      append_flattened(builder, data, rows);
  } else {
    throw ValueError(file_path() + ": unsupported JSON shape");
  }
  json::Value root = builder.array(rows);
  return builder.finish(root);
}

namespace {

bool has_gene_column(const json::Value &row) {
  return row.is_object() &&
         AliasColumns(normalised_names(row.members()), DiplotypeSheetReader::GENE_ALIASES)
                 .pick(row.members()) != nullptr;
}

bool any_row_with_gene_column(const json::Value &rows) {
  return std::ranges::any_of(rows.items(), has_gene_column);
}

// A gene-keyed object: some member named after a known gene holds a diplotype or a row. An
// object keyed by sample names is not one.
bool keyed_by_known_gene(const json::Value &mapping) {
  return std::ranges::any_of(mapping.members(), [](const json::Member &member) {
    return !known_gene(member.key).empty() &&
           (member.value.is_string() || member.value.is_object());
  });
}

} // namespace

bool DiplotypeSheetReader::is_sheet_json(const json::Value &root) {
  if (root.is_array())
    return any_row_with_gene_column(root);
  if (!root.is_object())
    return false;
  // The container that read_json would take the rows from.
  for (std::string_view key : CONTAINER_KEYS) {
    const json::Value *container = root.find(key);
    if (container != nullptr && container->is_array())
      return any_row_with_gene_column(*container);
    if (container != nullptr && container->is_object())
      return keyed_by_known_gene(*container);
  }
  return keyed_by_known_gene(root);
}

json::Document DiplotypeSheetReader::flatten(const json::Value &mapping) {
  json::DocumentBuilder builder;
  std::vector<json::Value> rows;
  append_flattened(builder, mapping, rows);
  json::Value root = builder.array(rows);
  return builder.finish(root);
}

std::optional<std::string> DiplotypeSheetReader::pick(std::span<const json::Member> row,
                                                      std::span<const std::string_view> aliases) {
  const json::Value *value = AliasColumns(normalised_names(row), aliases).pick(row);
  if (value == nullptr)
    return std::nullopt;
  return text::to_text(*value);
}

} // namespace orvelle
