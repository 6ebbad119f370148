// core/src/io/output_file.cpp: result files replaced whole, through staged temporaries.
#include "orvelle/io/output_file.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace orvelle::io {
namespace {

void write_all(int fd, std::string_view data, const std::string &path) {
  while (!data.empty()) {
    ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      throw OsError(errno, path);
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
}

void write_in_place(const std::string &native, std::string_view data, const std::string &path) {
  int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0)
    throw OsError(errno, path);
  try {
    write_all(fd, data, path);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0)
    throw OsError(errno, path);
}

// Where a write through `path` lands: symbolic links followed to the end, a dangling one
// included (the host's open creates the file it names; renaming onto the link would replace
// the link instead). A loop is left as it is, for the stat that follows to report.
std::string link_destination(std::string path) {
  for (int hops = 0; hops < 40; ++hops) { // the system's own limit on links in a path
    char link[PATH_MAX];
    const ssize_t size = ::readlink(path.c_str(), link, sizeof link);
    if (size < 0)
      return path; // not a link (or not there): the path itself
    std::string_view destination(link, static_cast<std::size_t>(size));
    if (destination.starts_with('/'))
      path = destination;
    else
      path = path.substr(0, path.rfind('/') + 1) + std::string(destination);
  }
  return path;
}

// A name beside the target, short enough for the file system even when the target's own
// name is close to the limit of 255 bytes.
std::string temporary_name(const std::string &target) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.rfind('/') + 1; // npos + 1 == 0: no folder part
  const std::string_view name = std::string_view(target).substr(slash, 200);
  return target.substr(0, slash) + std::string(name) + ".tmp-" + std::to_string(::getpid()) + "-" +
         std::to_string(counter++);
}

} // namespace

void make_dirs(const std::string &path) {
  if (path.empty() || is_dir(path))
    return;
  std::string native = native_path(path);
  // Create each missing ancestor, as os.makedirs does.
  std::string::size_type slash = native.rfind('/', native.size() - 1);
  while (slash != std::string::npos && slash > 0 && native[slash - 1] == '/')
    --slash;
  if (slash != std::string::npos && slash > 0) {
    std::string parent = host_path(native.substr(0, slash));
    if (!exists(parent))
      make_dirs(parent);
  }
  if (::mkdir(native.c_str(), 0777) != 0) {
    int failure = errno;
    if (!(failure == EEXIST && is_dir(path)))
      throw OsError(failure, path);
  }
}

StagedFile::StagedFile(const std::string &path, std::string_view data, bool sync)
    : path_(path), target_(link_destination(native_path(path))) {
  struct stat info {};
  if (::stat(target_.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) {
      write_in_place(target_, data, path_);
      return;
    }
  } else if (errno != ENOENT) {
    // A target the rename could never reach (a name too long, a file for a folder): say so
    // now, while nothing has been replaced, rather than at commit.
    throw OsError(errno, path_);
  }

  std::string temporary = temporary_name(target_);
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0)
    throw OsError(errno, path_);
  try {
    write_all(fd, data, path_);
    if (sync && ::fsync(fd) != 0)
      throw OsError(errno, path_);
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
      throw OsError(errno, path_);
  } catch (...) {
    if (fd >= 0)
      ::close(fd);
    ::unlink(temporary.c_str());
    throw;
  }
  temporary_ = std::move(temporary);
}

StagedFile::~StagedFile() {
  if (!temporary_.empty())
    ::unlink(temporary_.c_str());
}

void StagedFile::commit() {
  if (temporary_.empty())
    return;
  if (::rename(temporary_.c_str(), target_.c_str()) != 0)
    throw OsError(errno, path_);
  temporary_.clear();
}

void write_file_atomically(const std::string &path, std::string_view data, bool sync) {
  StagedFile(path, data, sync).commit();
}

std::string gzip_compress(std::string_view data) {
  z_stream stream{};
  // windowBits 15 + 16 asks zlib for a gzip wrapper; level 9, the default memory level.
  if (deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw ValueError("gzip: cannot initialise the compressor");
  gz_header header{};
  header.os = 255; // unknown, as the host's gzip module writes; time stamp 0: none
  deflateSetHeader(&stream, &header);

  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef *>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END)
    throw ValueError("gzip: compression failed");
  return out;
}

void remove_regular_file(const std::string &path) noexcept {
  try {
    const std::string native = native_path(path);
    struct stat info {};
    if (::lstat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode))
      ::unlink(native.c_str());
  } catch (...) {
    // Nothing to report: the caller is already failing for a better reason.
  }
}

} // namespace orvelle::io
