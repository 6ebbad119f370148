// orvelle/readers/reader_table.h: every input reader in one table: the files it claims by name
// and by content, how to make it, and its caller with that caller's rank in the merge.
#pragma once

#include "orvelle/json/value.h"
#include "orvelle/readers/ipgx_reader.h"

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace orvelle {

struct ReaderEntry {
  /// The caller identifier that tags the reader's calls (constants::CALLER_...).
  std::string_view caller;
  /// The caller's rank: a higher rank wins the merge. Every entry of one caller gives the same.
  int rank;
  /// The name endings it reads, lower-case; a compressed file counts as the file it holds.
  std::initializer_list<std::string_view> endings;
  /// Claimed by name when the lower-cased path contains every one of these; empty: never.
  std::initializer_list<std::string_view> name_parts = {};
  /// Claimed by content when the file is a JSON object with any of these keys at its root.
  std::initializer_list<std::string_view> json_keys = {};
  /// Claimed by content when the file is JSON and its root passes this test.
  bool (*json_shape)(const json::Value &root) = nullptr;
  /// Claimed by content when the file's first tab-separated row passes this test.
  bool (*tsv_header)(std::span<const std::string> header) = nullptr;
  /// A new, not yet run reader for a file.
  std::unique_ptr<IPgxReader> (*make)(const std::string &file_path);

  /// Without a rule of name or content, the reader takes the files of its endings that no
  /// other reader claims.
  bool is_fallback() const noexcept {
    return name_parts.size() == 0 && json_keys.size() == 0 && json_shape == nullptr &&
           tsv_header == nullptr;
  }
};

/// The readers in the order they are tried: for a file, the first whose name rule holds, then
/// the first whose content rule holds, then the first fallback of its ending.
std::span<const ReaderEntry> reader_table();

} // namespace orvelle
