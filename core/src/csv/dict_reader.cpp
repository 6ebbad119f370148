// core/src/csv/dict_reader.cpp: csv.DictReader: dict(zip(header, row)), the missing names set
// to an absent value and the extra cells gathered apart.
#include "orvelle/csv/reader.h"

#include <string_view>
#include <unordered_map>

namespace orvelle::csv {

DictReader::DictReader(Reader &reader) : reader_(reader) {}

const std::optional<std::vector<std::string>> &DictReader::fieldnames() {
  if (header_read_)
    return fieldnames_;
  std::vector<std::string> header;
  // After an error the next call takes the following row as the header, as the host does.
  bool found = reader_.next(header);
  header_read_ = true;
  if (!found)
    return fieldnames_;
  // Every name ends up in each row's dict (from the row or as absent), at its first position,
  // and keeps whatever its last position assigned.
  std::unordered_map<std::string_view, std::size_t> column_of_name;
  for (std::size_t i = 0; i < header.size(); ++i) {
    auto [seen, added] = column_of_name.try_emplace(header[i], columns_.size());
    if (added)
      columns_.push_back({header[i], i});
    else
      columns_[seen->second].position = i;
  }
  fieldnames_ = std::move(header);
  return fieldnames_;
}

std::span<const Column> DictReader::columns() {
  fieldnames();
  return columns_;
}

bool DictReader::next(Row &row) {
  if (!fieldnames())
    return false;
  do {
    if (!reader_.next(row))
      return false;
  } while (row.empty());
  return true;
}

bool DictReader::next(DictRow &row) {
  if (!next(buffer_))
    return false;
  row = dict_row(buffer_);
  return true;
}

DictRow DictReader::dict_row(const Row &fields) const {
  DictRow row;
  row.cells.reserve(columns_.size());
  for (const Column &column : columns_)
    row.cells.emplace_back(column.name, fields.at(column.position));
  const std::size_t width = fieldnames_ ? fieldnames_->size() : 0;
  row.has_rest = fields.size() > width;
  for (std::size_t i = width; i < fields.size(); ++i)
    row.rest.emplace_back(fields[i]);
  return row;
}

} // namespace orvelle::csv
