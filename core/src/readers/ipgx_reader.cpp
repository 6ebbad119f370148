// core/src/readers/ipgx_reader.cpp: what every reader shares: the path checks, the JSON
// loading with the host's error texts, and the value helpers.
#include "orvelle/readers/ipgx_reader.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/json/parse.h"
#include "orvelle/log.h"
#include "orvelle/readers/known_genes.h"
#include "orvelle/text/host_text.h"

namespace orvelle {

IPgxReader::IPgxReader(std::string file_path) : file_path_(std::move(file_path)) {
  if (file_path_.empty())
    throw ValueError("file_path cannot be empty");
  if (!io::exists(file_path_))
    throw FileNotFound("File not found: " + file_path_);
}

IPgxReader::~IPgxReader() = default;

std::vector<RawCall> IPgxReader::parse_with_versions(const VersionsSink &take_versions) {
  std::vector<RawCall> calls = parse();
  take_versions([this] { return read_versions(); });
  return calls;
}

json::Document IPgxReader::load_json() const {
  std::string text = io::read_file(file_path_);
  try {
    return json::parse_file_text(text); // decoded, in text mode
  } catch (json::SyntaxError &error) {
    // parse_file_text has translated the newlines of a text it refuses, as the host's text
    // mode does: the error's positions count in `text` as it is now.
    throw InvalidJsonFile(file_path_, std::move(error), std::move(text));
  }
}

void IPgxReader::log_skip(std::string_view gene, std::string_view reason) {
  log::warning("Skipping %s: %s", {std::string(gene), std::string(reason)});
}

bool IPgxReader::keep_table_gene(std::string_view gene, std::function<void(std::string)> defer) {
  if (!known_gene(gene).empty())
    return true;
  unknown_genes_.emplace_back(gene);
  if (defer)
    defer(std::string(gene));
  else
    log_skip(gene, UNKNOWN_GENE);
  return false;
}

ValueError not_recognised(std::string_view path, std::string_view expected) {
  return ValueError(std::string(path) + ": not a recognised caller output (expected " +
                    std::string(expected) + ")");
}

std::string_view host_type_name(const json::Value &value) noexcept {
  switch (value.kind()) {
  case json::Kind::null:
    return "NoneType";
  case json::Kind::boolean:
    return "bool";
  case json::Kind::integer:
  case json::Kind::big_integer:
    return "int";
  case json::Kind::real:
    return "float";
  case json::Kind::string:
    return "str";
  case json::Kind::array:
    return "list";
  case json::Kind::object:
    return "dict";
  }
  return "object";
}

std::optional<std::string> scalar_text(const json::Value &value) {
  if (value.is_null() || value.is_array() || value.is_object())
    return std::nullopt;
  return text::to_text(value);
}

std::string wrong_type(std::string_view field, const json::Value &value, std::string_view path) {
  return std::string(field) + " is not a text (" + std::string(host_type_name(value)) + ") in " +
         std::string(path);
}

} // namespace orvelle
