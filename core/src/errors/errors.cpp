// core/src/errors/errors.cpp: out-of-line members, so each error type has one home for its
// type information (one shared library, one typeinfo, across every extension module).
#include "orvelle/errors.h"

#include <cstring>
#include <utility>

namespace orvelle {

ValueError::~ValueError() = default;
FileNotFound::~FileNotFound() = default;
CsvError::~CsvError() = default;

OsError::OsError(int code, std::string filename)
    : std::runtime_error(std::strerror(code)), code_(code), filename_(std::move(filename)) {}
OsError::~OsError() = default;

UnicodeDecodeFailure::UnicodeDecodeFailure(std::string data, std::size_t start, std::size_t end,
                                           std::string reason)
    : std::runtime_error("'utf-8' codec can't decode: " + reason), data_(std::move(data)),
      start_(start), end_(end), reason_(std::move(reason)) {}
UnicodeDecodeFailure::~UnicodeDecodeFailure() = default;

namespace json {

namespace {
std::string located(const std::string &msg, std::size_t pos, std::size_t line, std::size_t column) {
  std::string text = msg;
  text.append(": line ").append(std::to_string(line));
  text.append(" column ").append(std::to_string(column));
  text.append(" (char ").append(std::to_string(pos)).append(")");
  return text;
}
} // namespace

SyntaxError::SyntaxError(std::string msg, std::size_t pos, std::size_t line, std::size_t column)
    : ValueError(located(msg, pos, line, column)), msg_(std::move(msg)), pos_(pos), line_(line),
      column_(column) {}
SyntaxError::~SyntaxError() = default;

} // namespace json

InvalidJsonFile::InvalidJsonFile(const std::string &path, json::SyntaxError cause, std::string text)
    : ValueError(path + " is not valid JSON: " + cause.what()), cause_(std::move(cause)),
      text_(std::move(text)) {}
InvalidJsonFile::~InvalidJsonFile() = default;

} // namespace orvelle
