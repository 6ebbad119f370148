// core/src/readers/table_rows.h: the data rows of a decoded table text, one at a time, mapped
// onto its header as the host's csv.DictReader maps them.
#pragma once

#include "orvelle/csv/reader.h"

#include <algorithm>
#include <optional>
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

  bool next(csv::DictRow &row) { return table_.next(row); }

  /// Reads the remaining rows for their format errors alone.
  void drain() {
    for (csv::DictRow row; table_.next(row);) {
    }
  }

  /// About the number of data rows (the text's "\n" count): room for one call per row,
  /// reserved up front, spares a large table the copies of a growing list.
  std::size_t row_estimate() const noexcept {
    return static_cast<std::size_t>(std::count(text_.begin(), text_.end(), '\n')) + 1;
  }

private:
  std::string text_;
  csv::Reader reader_;
  csv::DictReader table_;
};

} // namespace orvelle
