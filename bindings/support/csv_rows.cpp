// bindings/support/csv_rows.cpp: header-mapped CSV rows to and from the host's dicts.
#include "support/csv_rows.h"

namespace orvelle::bind {

nb::dict to_python(const csv::DictRow &row) {
  nb::dict dict;
  for (const auto &[name, value] : row.cells)
    dict[nb::cast(name)] = nb::cast(value);
  if (row.has_rest)
    dict[nb::none()] = nb::cast(row.rest);
  return dict;
}

nb::list to_python(const std::vector<csv::DictRow> &rows) {
  nb::list list;
  for (const csv::DictRow &row : rows)
    list.append(to_python(row));
  return list;
}

csv::DictRow dict_row_from_python(nb::handle row) {
  csv::DictRow out;
  for (auto [key, value] : nb::cast<nb::dict>(row)) {
    if (key.is_none()) {
      out.rest = nb::cast<std::vector<std::string>>(value);
      out.has_rest = true;
    } else if (nb::isinstance<nb::str>(key)) {
      std::optional<std::string> text;
      if (!value.is_none())
        text = nb::cast<std::string>(nb::str(value));
      out.cells.emplace_back(nb::cast<std::string>(key), std::move(text));
    }
  }
  return out;
}

} // namespace orvelle::bind
