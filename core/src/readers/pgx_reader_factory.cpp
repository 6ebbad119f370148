// core/src/readers/pgx_reader_factory.cpp: the choice of reader for one input file: its name
// first, then its content.
#include "orvelle/readers/pgx_reader_factory.h"

#include "orvelle/csv/reader.h"
#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/json/parse.h"
#include "orvelle/log.h"
#include "orvelle/readers/diplotype_sheet_reader.h"
#include "orvelle/readers/pharmcat_json_reader.h"
#include "orvelle/readers/pypgx_table_reader.h"
#include "orvelle/readers/starphase_json_reader.h"
#include "orvelle/readers/starphase_tsv_reader.h"
#include "orvelle/text/host_text.h"

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

} // namespace

std::unique_ptr<IPgxReader> PgxReaderFactory::get_parser(const std::string &file_path) {
  // A compressed input is dispatched as the file it holds: sample.pbstarphase.json.gz as JSON.
  const std::string name = text::lower(io::uncompressed_name(file_path));
  auto contains = [&name](std::string_view part) { return name.find(part) != std::string::npos; };
  if (name.ends_with(".csv"))
    return std::make_unique<DiplotypeSheetReader>(file_path);
  if (name.ends_with(".tsv")) {
    if (is_pypgx_tsv(file_path))
      return std::make_unique<PyPgxTableReader>(file_path);
    return std::make_unique<StarPhaseTsvReader>(file_path);
  }
  if (!name.ends_with(".json"))
    throw ValueError("Unsupported file type: " + file_path);
  if (contains("pharmcat") && contains("report"))
    return std::make_unique<PharmcatReportJsonParser>(file_path);
  if (contains("pharmcat") && contains("phenotype"))
    return std::make_unique<PharmcatPhenotypeJsonParser>(file_path);
  if (contains("starphase"))
    return std::make_unique<StarPhaseJsonReader>(file_path);
  if (std::unique_ptr<IPgxReader> reader = sniff(file_path))
    return reader;
  return std::make_unique<DiplotypeSheetReader>(file_path);
}

bool PgxReaderFactory::is_pypgx_tsv(const std::string &file_path) {
  // Text that is not UTF-8 is not caught: the file could be read by no reader.
  try {
    const std::string text = io::read_text_sig(file_path);
    csv::Reader reader(text, csv::Dialect{.delimiter = '\t'});
    std::vector<std::string> header;
    reader.next(header); // an empty file leaves the header empty
    return PyPgxTableReader::is_pypgx_table(header);
  } catch (const OsError &error) {
    log::debug("Could not read the header of %s: %s", {file_path, host_text(error)});
  } catch (const CsvError &error) {
    log::debug("Could not read the header of %s: %s", {file_path, std::string(error.what())});
  }
  return false;
}

std::unique_ptr<IPgxReader> PgxReaderFactory::sniff(const std::string &file_path) {
  json::Document document;
  try {
    // Plain UTF-8: a byte-order mark stays and makes the text invalid JSON.
    document = json::parse_on_demand(io::read_text(file_path));
  } catch (const OsError &error) {
    log::debug("Could not sniff %s: %s", {file_path, host_text(error)});
    return nullptr;
  } catch (const json::SyntaxError &error) {
    log::debug("Could not sniff %s: %s", {file_path, std::string(error.what())});
    return nullptr;
  }
  const json::Value &root = document.root();
  if (!root.is_object())
    return nullptr;
  if (has_any_key(root, {"pharmcatVersion", "drugs"}))
    return std::make_unique<PharmcatReportJsonParser>(file_path);
  if (has_any_key(root, {"geneReports"}))
    return std::make_unique<PharmcatPhenotypeJsonParser>(file_path);
  if (has_any_key(root, {"gene_details", "pbstarphase_version"}))
    return std::make_unique<StarPhaseJsonReader>(file_path);
  return nullptr;
}

} // namespace orvelle
