// orvelle/readers/reader_table.h: every input reader in one table: the files it claims by name
// and by content, the shape it recognises, how to make it, and its caller with that caller's
// rank in the merge. Shapes that are refused on sight sit in it too.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/readers/ipgx_reader.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

struct ReaderEntry {
  /// The caller identifier that tags the reader's calls: its class's SOURCE_NAME (a test holds
  /// every made reader to it).
  std::string_view caller;
  /// The name endings it reads, lower-case; a compressed file counts as the file it holds.
  std::initializer_list<std::string_view> endings;
  /// What the reader recognises, for the line that refuses a file no reader recognises.
  std::string_view expected;
  /// Claimed by name when the lower-cased path contains every one of these; empty: never.
  std::initializer_list<std::string_view> name_parts = {};
  /// Claimed by content when the file is a JSON object with any of these keys at its root.
  std::initializer_list<std::string_view> json_keys = {};
  /// Claimed by content when the file is JSON and its root passes this test.
  bool (*json_shape)(const json::Value &root) = nullptr;
  /// Claimed by content when the file's first two tab-separated rows (fewer in a shorter file)
  /// pass this test.
  bool (*tsv_head)(std::span<const std::vector<std::string>> rows) = nullptr;
  /// Set for a shape that is recognised only to be refused: the reason, after the file's path.
  std::string_view refusal = {};
  /// For a folder scan: why a file of the reader's endings is passed over as one of its
  /// caller's files that holds no calls (nullopt: it is read). Named, the file is still read
  /// and refused by the reader.
  std::optional<std::string> (*passed_over)(const std::string &file_path) = nullptr;
  /// A new, not yet run reader for a file; nullptr for a refused shape.
  std::unique_ptr<IPgxReader> (*make)(const std::string &file_path) = nullptr;

  /// Without a rule of name or content, the reader takes the files of its endings that no
  /// other reader claims, and refuses itself what it does not recognise in them.
  bool is_fallback() const noexcept {
    return name_parts.size() == 0 && json_keys.size() == 0 && json_shape == nullptr &&
           tsv_head == nullptr;
  }
  bool is_refusal() const noexcept { return !refusal.empty(); }
};

/// The readers in the order they are tried: for a file, the first whose name rule holds, then
/// the first whose content rule holds, then the first fallback of its ending.
std::span<const ReaderEntry> reader_table();

/// A caller and its rank in the merge: a higher rank wins.
struct CallerRank {
  std::string_view caller;
  int rank;
};

/// Every caller of the reader table with its rank, beside the table.
std::span<const CallerRank> caller_rank_table();

} // namespace orvelle
