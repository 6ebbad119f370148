// bindings/support/csv_rows.h: header-mapped CSV rows as the host's csv.DictReader gives them.
#pragma once

#include "support/nb.h"

#include "orvelle/csv/reader.h"

#include <vector>

namespace orvelle::bind {

/// {header name: text, or None for a cell a short line lacks}, and the cells beyond the
/// header as a list under the key None.
nb::dict to_python(const csv::DictRow &row);

/// A list of such dicts.
nb::list to_python(const std::vector<csv::DictRow> &rows);

/// The reverse, for a row the host hands in: text keys with None or a value (taken as its
/// str()), a None key's cells as the overflow. Keys of other types name no column and are
/// left out.
csv::DictRow dict_row_from_python(nb::handle row);

} // namespace orvelle::bind
