// core/src/readers/pgx_reader_factory.cpp: the choice of reader for one input file: its name
// first, then its content.
#include "orvelle/readers/pgx_reader_factory.h"

#include "sample_table_index.h"

#include "orvelle/constants.h"
#include "orvelle/csv/reader.h"
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
bool has_header_rule(const ReaderEntry *reader) { return reader->tsv_header != nullptr; }

// The document the key rules look at; nullopt, logged at debug level, when the file cannot be
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

// The first tab-separated row the header rules look at; nullopt, logged at debug level, when
// the file cannot be opened or read as CSV. Text that is not UTF-8 is not caught: the file
// could be read by no reader.
std::optional<std::vector<std::string>> first_tsv_row(const std::string &file_path) {
  // A cohort's shared table, indexed already, is not read whole again for its header.
  if (std::shared_ptr<const SampleTableIndex> index = indexed_table(file_path, false))
    return index->header;
  try {
    const std::string text = io::read_text_sig(file_path);
    csv::Reader reader(text, csv::Dialect{.delimiter = '\t'});
    std::vector<std::string> header;
    reader.next(header); // an empty file leaves the header empty
    return header;
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
      std::ranges::any_of(readers, has_key_rule) ? sniffed_document(file_path) : std::nullopt;
  const std::optional<std::vector<std::string>> header =
      std::ranges::any_of(readers, has_header_rule) ? first_tsv_row(file_path) : std::nullopt;
  for (const ReaderEntry *reader : readers) {
    if (has_key_rule(reader) && document && document->root().is_object() &&
        has_any_key(document->root(), reader->json_keys))
      return reader;
    if (has_header_rule(reader) && header && reader->tsv_header(*header))
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

} // namespace

std::unique_ptr<IPgxReader> PgxReaderFactory::reader_for(const std::string &file_path) {
  // A compressed input is dispatched as the file it holds: sample.pbstarphase.json.gz as JSON.
  const std::string name = text::lower(io::uncompressed_name(file_path));
  const std::vector<const ReaderEntry *> readers =
      readers_where([&name](const ReaderEntry *reader) { return reads_ending(*reader, name); });
  for (const ReaderEntry *reader : readers)
    if (claims_by_name(*reader, name))
      return reader->make(file_path);
  if (const ReaderEntry *reader = claimed_by_content(readers, file_path))
    return reader->make(file_path);
  for (const ReaderEntry *reader : readers)
    if (reader->is_fallback())
      return reader->make(file_path);
  // No reader reads the name's ending (then the file is never looked at), or none claims it.
  throw ValueError("Unsupported file type: " + file_path);
}

bool PgxReaderFactory::is_pypgx_tsv(const std::string &file_path) {
  const ReaderEntry *reader = claimed_by_content(readers_where(has_header_rule), file_path);
  return reader != nullptr && reader->caller == constants::CALLER_PYPGX;
}

std::unique_ptr<IPgxReader> PgxReaderFactory::sniff(const std::string &file_path) {
  const ReaderEntry *reader = claimed_by_content(readers_where(has_key_rule), file_path);
  return reader != nullptr ? reader->make(file_path) : nullptr;
}

} // namespace orvelle
