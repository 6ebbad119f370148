// core/src/readers/sample_rows.h: which rows of a table that holds several samples belong to
// the one sample a reader takes.
//
// A row belongs to the wanted sample when its sample name is that sample's name. When no row
// carries the name itself, a row belongs when its name is the wanted name followed by the
// table's sample suffix: the text from the last "_" on (such as "_PyPGx") that every sample
// name of the table ends with. A table whose names do not share such a suffix is matched by
// the exact name alone, so a row never goes to a sample whose name merely begins its own.
#pragma once

#include "orvelle/records/raw_call.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace orvelle {

/// The text from the last "_" on, when both it and the text before it are not empty: the
/// suffix a sample name may share with every other of its table.
std::optional<std::string_view> suffix_of(std::string_view name);

/// How one row's sample name relates to the wanted sample.
enum class RowMatch { other, exact, suffixed };

class SampleRows {
public:
  /// `wanted`: the sample to take; absent: the sample of the table's first row.
  explicit SampleRows(std::optional<std::string> wanted);
  /// As note() leaves it after every row of a table whose names are known already: `first`
  /// its first row's, `suffix` the one they share, `samples` how many there are, `exact_seen`
  /// whether one is `wanted` itself.
  SampleRows(std::string wanted, std::string first, std::optional<std::string> suffix,
             std::size_t samples, bool exact_seen);

  /// Counts the row's sample and tells how its name relates to the wanted one.
  RowMatch note(std::string_view name);

  /// After the last row: whether the rows noted as `match` belong to the wanted sample.
  bool belongs(RowMatch match) const;

  /// After the last row: the warning each call of a file of several samples carries when its
  /// sample was not asked for ("<file> holds N samples; only sample '<name>' was read"), so no
  /// result reads as the only sample's; nullopt otherwise.
  std::optional<std::string> note_on_each(std::string_view file_name) const;

  /// The number of distinct samples among the rows noted.
  std::size_t sample_count() const noexcept { return names_.empty() ? samples_ : names_.size(); }
  /// The wanted sample, or the first row's when none was asked for (absent before any row).
  const std::optional<std::string> &taken() const noexcept { return wanted_; }
  /// True when the sample was asked for by name, not taken from the first row.
  bool asked() const noexcept { return asked_; }
  /// The first row's sample name (empty before any row).
  const std::string &first() const noexcept { return first_; }

  /// After the last row: logs that the sample asked for has no row in the table at
  /// `file_path`; true when it had none (the gene is then left to the other inputs).
  bool warn_if_missing(std::string_view file_path, std::size_t taken_rows) const;

private:
  std::optional<std::string> wanted_;
  bool asked_;
  std::string first_;
  std::unordered_set<std::string> names_;
  std::optional<std::string> suffix_; ///< shared by every name so far
  bool exact_seen_ = false;
  std::size_t samples_ = 0; ///< when made from what is known of the table
};

/// A call of a file of several samples, with the sample name of its row or key.
struct SampleCall {
  std::string sample;
  RawCall call;
};

/// The calls of `read` that belong to `wanted` (the first row's sample when absent), each with
/// note_on_each's warning. `taken` becomes the sample read, and stays absent when the file has
/// no row of the sample asked for (logged as warn_if_missing logs it).
std::vector<RawCall> calls_of_sample(std::vector<SampleCall> read,
                                     const std::optional<std::string> &wanted,
                                     const std::string &file_path,
                                     std::optional<std::string> &taken);

} // namespace orvelle
