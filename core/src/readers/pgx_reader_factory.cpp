// core/src/readers/pgx_reader_factory.cpp: the choice of reader for one input file: its name
// first, then its content.
#include "orvelle/readers/pgx_reader_factory.h"

#include "sample_table_index.h"
#include "table_head.h"

#include "orvelle/constants.h"
#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/json/parse.h"
#include "orvelle/log.h"
#include "orvelle/readers/reader_table.h"
#include "orvelle/text/host_text.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace orvelle {
namespace {

// The host's text of the OSError its open() raises: "[Errno 21] Is a directory: 'x.json'".
std::string host_text(const OsError &error) {
  return "[Errno " + std::to_string(error.code()) + "] " + error.what() + ": " +
         text::quoted(error.filename());
}

bool has_any_key(const json::Value &object, std::initializer_list<std::string_view> keys) {
  for (std::string_view key : keys)
    if (object.find(key) != nullptr)
      return true;
  return false;
}

bool reads_ending(const ReaderEntry &reader, std::string_view name) {
  return std::ranges::any_of(reader.endings,
                             [name](std::string_view ending) { return name.ends_with(ending); });
}

bool claims_by_name(const ReaderEntry &reader, std::string_view name) {
  return reader.name_parts.size() != 0 &&
         std::ranges::all_of(reader.name_parts, [name](std::string_view part) {
           return name.find(part) != std::string_view::npos;
         });
}

bool has_key_rule(const ReaderEntry *reader) { return reader->json_keys.size() != 0; }
bool has_json_rule(const ReaderEntry *reader) {
  return has_key_rule(reader) || reader->json_shape != nullptr;
}
bool has_tsv_rule(const ReaderEntry *reader) { return reader->tsv_head != nullptr; }

// The document the JSON rules look at; nullopt, logged at debug level, when the file cannot be
// opened or parsed.
std::optional<json::Document> sniffed_document(const std::string &file_path) {
  try {
    // Plain UTF-8: a byte-order mark stays and makes the text invalid JSON.
    return json::parse_on_demand(io::read_text(file_path));
  } catch (const OsError &error) {
    log::debug("Could not sniff %s: %s", {file_path, host_text(error)});
  } catch (const json::SyntaxError &error) {
    log::debug("Could not sniff %s: %s", {file_path, std::string(error.what())});
  }
  return std::nullopt;
}

// The rows the TSV rules look at: the first two tab-separated rows (fewer in a shorter file);
// nullopt, logged at debug level, when the file cannot be opened or read as CSV. Text that is
// not UTF-8 is not caught: the file could be read by no reader.
std::optional<std::vector<std::vector<std::string>>> first_tsv_rows(const std::string &file_path) {
  // A cohort's shared table, indexed already, is not read whole again for its header.
  if (std::shared_ptr<const SampleTableIndex> index = indexed_table(file_path, false))
    return std::vector<std::vector<std::string>>{index->header};
  try {
    return head_rows(io::read_text_sig(file_path));
  } catch (const OsError &error) {
    log::debug("Could not read the header of %s: %s", {file_path, host_text(error)});
  } catch (const CsvError &error) {
    log::debug("Could not read the header of %s: %s", {file_path, std::string(error.what())});
  }
  return std::nullopt;
}

// The first of `readers` whose content rule holds, or nullptr. The file is read only in the
// forms the readers' rules look at, each once.
const ReaderEntry *claimed_by_content(std::span<const ReaderEntry *const> readers,
                                      const std::string &file_path) {
  const std::optional<json::Document> document =
      std::ranges::any_of(readers, has_json_rule) ? sniffed_document(file_path) : std::nullopt;
  const std::optional<std::vector<std::vector<std::string>>> rows =
      std::ranges::any_of(readers, has_tsv_rule) ? first_tsv_rows(file_path) : std::nullopt;
  for (const ReaderEntry *reader : readers) {
    if (has_key_rule(reader) && document && document->root().is_object() &&
        has_any_key(document->root(), reader->json_keys))
      return reader;
    if (reader->json_shape != nullptr && document && reader->json_shape(document->root()))
      return reader;
    if (has_tsv_rule(reader) && rows && reader->tsv_head(*rows))
      return reader;
  }
  return nullptr;
}

// The table's readers that `keep` selects, in table order.
template <typename Keep> std::vector<const ReaderEntry *> readers_where(Keep keep) {
  std::vector<const ReaderEntry *> readers;
  for (const ReaderEntry &reader : reader_table())
    if (keep(&reader))
      readers.push_back(&reader);
  return readers;
}

// The readers of the file's ending, in table order.
std::vector<const ReaderEntry *> readers_of(const std::string &name) {
  return readers_where([&name](const ReaderEntry *reader) { return reads_ending(*reader, name); });
}

// A file whose ending the converter reads but which no reader recognises: what each expects.
ValueError unrecognised(const std::string &file_path, std::span<const ReaderEntry *const> readers) {
  std::vector<std::string_view> expected;
  for (const ReaderEntry *reader : readers)
    if (!reader->is_refusal() && std::ranges::find(expected, reader->expected) == expected.end())
      expected.push_back(reader->expected);
  return not_recognised(file_path, text::join("; or ", expected));
}

} // namespace

std::unique_ptr<IPgxReader> PgxReaderFactory::reader_for(const std::string &file_path) {
  // A compressed input is dispatched as the file it holds: sample.pbstarphase.json.gz as JSON.
  const std::string name = text::lower(io::uncompressed_name(file_path));
  const std::vector<const ReaderEntry *> readers = readers_of(name);
  for (const ReaderEntry *reader : readers)
    if (claims_by_name(*reader, name))
      return reader->make(file_path);
  if (const ReaderEntry *reader = claimed_by_content(readers, file_path)) {
    if (reader->is_refusal())
      throw ValueError(file_path + ": " + std::string(reader->refusal));
    return reader->make(file_path);
  }
  for (const ReaderEntry *reader : readers)
    if (reader->is_fallback())
      return reader->make(file_path);
  // No reader reads the name's ending (then the file is never looked at), or none claims it.
  if (readers.empty())
    throw ValueError("Unsupported file type: " + file_path);
  // A file that cannot be read fails as reading it does, not as one of another shape.
  if (!io::exists(file_path))
    throw FileNotFound("File not found: " + file_path);
  io::read_file(file_path);
  throw unrecognised(file_path, readers);
}

std::optional<std::string> PgxReaderFactory::left_out(const std::string &file_path) {
  const std::string name = text::lower(io::uncompressed_name(file_path));
  const std::vector<const ReaderEntry *> readers = readers_of(name);
  for (const ReaderEntry *reader : readers)
    if (reader->passed_over != nullptr)
      if (std::optional<std::string> reason = reader->passed_over(file_path))
        return reason;
  if (std::ranges::none_of(readers,
                           [](const ReaderEntry *reader) { return reader->is_refusal(); }) ||
      std::ranges::any_of(
          readers, [&name](const ReaderEntry *reader) { return claims_by_name(*reader, name); }))
    return std::nullopt;
  const ReaderEntry *reader = claimed_by_content(readers, file_path);
  if (reader == nullptr || !reader->is_refusal())
    return std::nullopt;
  return std::string(reader->refusal);
}

bool PgxReaderFactory::is_pypgx_tsv(const std::string &file_path) {
  const ReaderEntry *reader = claimed_by_content(readers_where(has_tsv_rule), file_path);
  return reader != nullptr && reader->caller == constants::CALLER_PYPGX;
}

std::unique_ptr<IPgxReader> PgxReaderFactory::sniff(const std::string &file_path) {
  const ReaderEntry *reader = claimed_by_content(readers_where(has_key_rule), file_path);
  return reader != nullptr ? reader->make(file_path) : nullptr;
}

} // namespace orvelle
