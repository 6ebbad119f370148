// core/src/readers/ipgx_reader.cpp
#include "orvelle/readers/ipgx_reader.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/json/parse.h"
#include "orvelle/log.h"

namespace orvelle {

IPgxReader::IPgxReader(std::string file_path) : file_path_(std::move(file_path)) {
  if (file_path_.empty())
    throw ValueError("file_path cannot be empty");
  if (!io::exists(file_path_))
    throw FileNotFound("File not found: " + file_path_);
}

IPgxReader::~IPgxReader() = default;

json::Document IPgxReader::load_json() const {
  std::string text = io::read_text(file_path_);
  io::translate_newlines(text); // the host reads JSON files in text mode
  try {
    return json::parse(text);
  } catch (json::SyntaxError &error) {
    throw InvalidJsonFile(file_path_, std::move(error), std::move(text));
  }
}

void IPgxReader::log_skip(std::string_view gene, std::string_view reason) {
  log::warning("Skipping %s: %s", {std::string(gene), std::string(reason)});
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

} // namespace orvelle
