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
      columns_[seen->second].last_position = i;
  }
  fieldnames_ = std::move(header);
  return fieldnames_;
}

bool DictReader::next(DictRow &row) {
  if (!fieldnames())
    return false;
  do {
    if (!reader_.next(buffer_))
      return false;
  } while (buffer_.empty());

  row.cells.resize(columns_.size());
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const Column &column = columns_[i];
    row.cells[i].first = column.name;
    if (column.last_position < buffer_.size())
      row.cells[i].second = std::move(buffer_[column.last_position]);
    else
      row.cells[i].second.reset();
  }
  const std::size_t width = fieldnames_->size();
  row.has_rest = buffer_.size() > width;
  row.rest.clear();
  if (row.has_rest)
    row.rest.assign(std::make_move_iterator(buffer_.begin() + static_cast<std::ptrdiff_t>(width)),
                    std::make_move_iterator(buffer_.end()));
  return true;
}

} // namespace orvelle::csv
