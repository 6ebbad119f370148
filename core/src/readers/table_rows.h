// core/src/readers/table_rows.h: the data rows of a decoded table text, one at a time, mapped
// onto its header as the host's csv.DictReader maps them.
#pragma once

#include "orvelle/csv/reader.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvelle {

class TableRows {
public:
  TableRows(std::string text, csv::Dialect dialect)
      : text_(std::move(text)), reader_(text_, dialect), table_(reader_) {}
  TableRows(const TableRows &) = delete;
  TableRows &operator=(const TableRows &) = delete;

  /// The header row, or nullopt for a text without rows.
  const std::optional<std::vector<std::string>> &fieldnames() { return table_.fieldnames(); }
  /// The header's distinct names and where each row holds their values.
  std::span<const csv::Column> columns() { return table_.columns(); }

  /// The next data row's fields, which hold until the next call.
  bool next(csv::Row &row) { return table_.next(row); }
  bool next(csv::DictRow &row) { return table_.next(row); }
  csv::DictRow dict_row(const csv::Row &row) const { return table_.dict_row(row); }

  /// Reads the remaining rows for their format errors alone.
  void drain() {
    for (csv::Row row; table_.next(row);) {
    }
  }

private:
  std::string text_;
  csv::Reader reader_;
  csv::DictReader table_;
};

} // namespace orvelle
