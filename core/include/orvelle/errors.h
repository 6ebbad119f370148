// orvelle/errors.h: the typed failures of the core; the bindings map each to the host's kind.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace orvelle {

/// Bad content or a bad argument (host: ValueError).
class ValueError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
  ~ValueError() override;
};

/// A path the caller named does not exist, with the system's own message (host: FileNotFoundError).
class FileNotFound : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
  ~FileNotFound() override;
};

/// An operating-system call failed (host: the OSError subclass for `code`, with the file name).
class OsError : public std::runtime_error {
public:
  OsError(int code, std::string filename);
  ~OsError() override;
  int code() const noexcept { return code_; }
  const std::string &filename() const noexcept { return filename_; }

private:
  int code_;
  std::string filename_;
};

/// Bytes that are not valid UTF-8 (host: UnicodeDecodeError for codec "utf-8").
/// `data` holds the undecodable input so the host error can carry it as its object.
class UnicodeDecodeFailure : public std::runtime_error {
public:
  UnicodeDecodeFailure(std::string data, std::size_t start, std::size_t end, std::string reason);
  ~UnicodeDecodeFailure() override;
  const std::string &data() const noexcept { return data_; }
  std::size_t start() const noexcept { return start_; }
  std::size_t end() const noexcept { return end_; }
  const std::string &reason() const noexcept { return reason_; }

private:
  std::string data_;
  std::size_t start_, end_;
  std::string reason_;
};

/// A CSV format error (host: csv.Error).
class CsvError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
  ~CsvError() override;
};

namespace json {

/// A JSON syntax error at a character position (host: json.JSONDecodeError).
/// what() is the host's full text: "<msg>: line L column C (char P)".
class SyntaxError : public ValueError {
public:
  SyntaxError(std::string msg, std::size_t pos, std::size_t line, std::size_t column);
  ~SyntaxError() override;
  const std::string &msg() const noexcept { return msg_; }
  std::size_t pos() const noexcept { return pos_; }       ///< in characters, not bytes
  std::size_t line() const noexcept { return line_; }     ///< 1-based
  std::size_t column() const noexcept { return column_; } ///< 1-based, in characters

private:
  std::string msg_;
  std::size_t pos_, line_, column_;
};

} // namespace json

/// A file whose content is not valid JSON: "<path> is not valid JSON: <syntax error>",
/// with the syntax error kept as its cause (host: ValueError chained to JSONDecodeError).
class InvalidJsonFile : public ValueError {
public:
  InvalidJsonFile(const std::string &path, json::SyntaxError cause, std::string text);
  ~InvalidJsonFile() override;
  const json::SyntaxError &cause() const noexcept { return cause_; }
  /// The decoded document, for the host error's `doc` attribute.
  const std::string &text() const noexcept { return text_; }

private:
  json::SyntaxError cause_;
  std::string text_;
};

} // namespace orvelle
