// orvelle/io/file.h: reading files and asking the file system, with the host's failures.
// Paths are texts as the host holds them; bytes the host escaped as surrogates (U+DC80 to
// U+DCFF) go to the system as the raw bytes they stand for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvelle::io {

/// The whole file as bytes. Throws OsError (orvelle/errors.h) as the host's open/read would,
/// IsADirectoryError's errno for a directory included. A name ending in ".gz" is read as the
/// data its gzip stream holds (orvelle/io/gunzip.h; ValueError for a bad stream). The text has
/// spare capacity for parsers that read past its end.
std::string read_file(const std::string &path);

/// read_file, checked as strict UTF-8 (UnicodeDecodeFailure otherwise).
std::string read_text(const std::string &path);

/// read_text for encoding "utf-8-sig": one leading byte-order mark is removed.
std::string read_text_sig(const std::string &path);

/// Rewrites a text as the host's text mode reads it (universal newlines): "\r\n" and a lone
/// "\r" become "\n". Keeps the capacity (and so the spare room read_file leaves).
void translate_newlines(std::string &text);

/// The system's form of a path text (surrogate escapes back to raw bytes).
std::string native_path(std::string_view path);
/// The host's text form of a system path (raw bytes that are not UTF-8 as surrogate escapes).
std::string host_path(std::string_view native);

/// os.path.exists / isdir / isfile (symbolic links followed; a dangling link does not exist).
bool exists(const std::string &path);
bool is_dir(const std::string &path);
bool is_file(const std::string &path);
/// os.path.samefile, false instead of an error: both paths exist and name one file (links
/// followed).
bool same_file(const std::string &a, const std::string &b);

/// os.path.basename: the part after the last "/".
std::string_view base_name(std::string_view path) noexcept;

/// os.path.join(a, b) for two parts.
std::string join(std::string_view a, std::string_view b);

/// Names in a directory (not "." or ".."), in the system's order. Throws OsError.
std::vector<std::string> list_dir(const std::string &path);

} // namespace orvelle::io
