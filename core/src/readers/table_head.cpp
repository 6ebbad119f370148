// core/src/readers/table_head.cpp: the first rows of a tab-separated text.
#include "table_head.h"

#include "orvelle/csv/reader.h"

namespace orvelle {

std::vector<std::vector<std::string>> head_rows(std::string_view text) {
  csv::Reader reader(text, csv::Dialect{.delimiter = '\t'});
  std::vector<std::vector<std::string>> rows(1);
  reader.next(rows[0]); // an empty text leaves the first row empty
  if (std::vector<std::string> row; reader.next(row))
    rows.push_back(std::move(row));
  return rows;
}

} // namespace orvelle
