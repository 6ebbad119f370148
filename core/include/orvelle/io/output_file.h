// orvelle/io/output_file.h: writing result files so that a failure never leaves a torn file.
#pragma once

#include <string>
#include <string_view>

namespace orvelle::io {

/// os.makedirs(path, exist_ok=True). Throws OsError (FileExistsError's errno for a file).
void make_dirs(const std::string &path);

/// New content for the file at `path`, written in full to a temporary file in the same folder
/// and flushed to disk (unless `sync` is false: a caller that makes many files durable together
/// with one sync of their file system), then put in place by commit() with one rename, so readers
/// see the old file or the new one, never a part. Several files staged first and committed after
/// change together: a failure while staging any of them leaves every one as it was. A staged file
/// that is not committed is removed. A path that names something other than a regular file
/// (a device such as /dev/full, a pipe) is written in place while staging instead, as the
/// host's open would, since renaming over it would replace the device itself. Symbolic links
/// are followed, a dangling one to the file it names. Throws OsError with the errno of the failing
/// call and `path`.
class StagedFile {
public:
  StagedFile(const std::string &path, std::string_view data, bool sync = true);
  ~StagedFile();
  StagedFile(const StagedFile &) = delete;
  StagedFile &operator=(const StagedFile &) = delete;

  void commit();

private:
  std::string path_;
  std::string target_;    ///< the system's path, links resolved
  std::string temporary_; ///< empty once committed, or when written in place
};

/// Removes the regular file at `path`, if there is one; anything else (a device, a folder,
/// nothing) is left alone, and a failure to remove is ignored.
void remove_regular_file(const std::string &path) noexcept;

/// Stages `data` for `path` and commits it at once.
void write_file_atomically(const std::string &path, std::string_view data, bool sync = true);

/// A gzip stream (RFC 1952) of `data` at compression level 9 with no time stamp and no file
/// name, so the same data always gives the same bytes.
std::string gzip_compress(std::string_view data);

} // namespace orvelle::io
