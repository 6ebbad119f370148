// core/src/readers/sample_table_index.h: large tables of several samples (one PyPGx table for a
// whole cohort) read once per process and kept indexed by sample name, so a conversion that
// takes one sample visits that sample's rows alone instead of reading the table whole again.
#pragma once

#include "orvelle/csv/reader.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

/// One data row: its fields, absent past the row's end as csv::Row::at gives them.
struct IndexedRow {
  std::vector<std::string> fields;
  std::optional<std::string_view> at(std::size_t position) const noexcept {
    if (position < fields.size())
      return fields[position];
    return std::nullopt;
  }
};

/// A tab-separated table's header and data rows, with what picking one sample's rows needs to
/// know of all of them (see sample_rows.h).
struct SampleTableIndex {
  std::vector<std::string> header;
  std::vector<csv::Column> columns;
  std::vector<IndexedRow> rows;
  /// Row numbers (file order) by the sample name in the first column, trimmed.
  std::map<std::string, std::vector<std::size_t>, std::less<>> rows_of;
  std::string first;                 ///< the first row's sample name
  std::optional<std::string> suffix; ///< the suffix every sample name shares, if any

  /// The rows a reader of `wanted` notes (its own, and those of `wanted_<rest>` names with
  /// no further "_"), in file order.
  std::vector<std::size_t> candidate_rows(std::string_view wanted) const;
};

/// Tables of at least this many bytes are indexed; smaller ones are read whole each time.
inline constexpr long long INDEXED_TABLE_BYTES = 1 << 20;

/// The index of the table at `path` (as the PyPGx reader decodes it: UTF-8, a byte-order mark
/// dropped, gzip inflated) while the file is unchanged (device, inode, size, modification
/// time). A table is indexed the second time it is asked for, so a process that reads it once
/// (the single command) reads it as it always did. nullptr for a smaller file, one not
/// indexed (yet), one that cannot be read or has a format error (its reader then meets the
/// error as before). `index` false: only an index made already. Shared by threads.
std::shared_ptr<const SampleTableIndex> indexed_table(const std::string &path, bool index = true);

} // namespace orvelle
