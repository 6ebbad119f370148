// orvelle/io/output_file.h: writing result files so that a failure never leaves a torn file.
#pragma once

#include <string>
#include <string_view>

namespace orvelle::io {

/// os.makedirs(path, exist_ok=True). Throws OsError (FileExistsError's errno for a file).
void make_dirs(const std::string &path);

/// Replaces the file at `path` with `data`: written to a temporary file in the same folder,
/// flushed to disk, then renamed into place, so readers see the old file or the new one,
/// never a part. A path that names something other than a regular file (a device such as
/// /dev/full, a pipe) is written in place instead, as the host's open would, since renaming
/// over it would replace the device itself. A symbolic link is followed. Throws OsError with
/// the errno of the failing call and `path`.
void write_file_atomically(const std::string &path, std::string_view data);

/// A gzip stream (RFC 1952) of `data` at compression level 9 with no time stamp and no file
/// name, so the same data always gives the same bytes.
std::string gzip_compress(std::string_view data);

} // namespace orvelle::io
