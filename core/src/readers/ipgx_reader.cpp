// core/src/readers/ipgx_reader.cpp
#include "orvelle/readers/ipgx_reader.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/json/parse.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"

namespace orvelle {
namespace {

// The text as the host reads a file in text mode: "\r\n" and a lone "\r" become "\n". The
// host's decode error carries this text, and its positions count in it.
std::string with_universal_newlines(std::string text) {
  if (text.find('\r') == std::string::npos)
    return text;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out.push_back(text[i]);
      continue;
    }
    out.push_back('\n');
    if (i + 1 < text.size() && text[i + 1] == '\n')
      ++i;
  }
  return out;
}

} // namespace

IPgxReader::IPgxReader(std::string file_path) : file_path_(std::move(file_path)) {
  if (file_path_.empty())
    throw ValueError("file_path cannot be empty");
  if (!io::exists(file_path_))
    throw FileNotFound("File not found: " + file_path_);
}

IPgxReader::~IPgxReader() = default;

json::Document IPgxReader::load_json() const {
  std::string text = io::read_file(file_path_);
  try {
    return json::parse_file_text(text); // decoded, in text mode
  } catch (json::SyntaxError &error) {
    throw InvalidJsonFile(file_path_, std::move(error), with_universal_newlines(std::move(text)));
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
