// core/src/io/file.cpp: POSIX file access with the host's errors.
#include "orvelle/io/file.h"

#include "orvelle/errors.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/text/utf8.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle::io {
namespace {

// Parsers may read this far past the end of a text (SIMD loads).
constexpr std::size_t kReadPadding = 64;

class Fd {
public:
  explicit Fd(int fd) noexcept : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  Fd(const Fd &) = delete;
  Fd &operator=(const Fd &) = delete;
  int get() const noexcept { return fd_; }

private:
  int fd_;
};

} // namespace

std::string native_path(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (std::size_t i = 0; i < path.size();) {
    std::size_t start = i;
    char32_t c = text::next_code_point(path, i);
    if (c >= 0xDC80 && c <= 0xDCFF)
      out.push_back(static_cast<char>(c - 0xDC00));
    else
      out.append(path.substr(start, i - start));
  }
  return out;
}

std::string host_path(std::string_view native) {
  std::string out;
  out.reserve(native.size());
  for (std::size_t i = 0; i < native.size();) {
    auto byte = static_cast<unsigned char>(native[i]);
    std::size_t len = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
    bool valid = len != 0 && i + len <= native.size();
    if (valid && len > 1) {
      // The host's surrogateescape accepts only strict UTF-8 sequences as characters.
      std::string piece(native.substr(i, len));
      try {
        text::validate_utf8(piece);
      } catch (const UnicodeDecodeFailure &) {
        valid = false;
      }
    }
    if (valid) {
      out.append(native.substr(i, len));
      i += len;
    } else {
      text::append_code_point(out, 0xDC00 + byte);
      ++i;
    }
  }
  return out;
}

namespace {
std::string read_bytes(const std::string &path) {
  const std::string native = native_path(path);
  Fd fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0)
    throw OsError(errno, path);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0)
    throw OsError(errno, path);
  if (S_ISDIR(info.st_mode))
    throw OsError(EISDIR, path);

  std::string data;
  std::size_t expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
  data.reserve(expected + 1 + kReadPadding);
  std::size_t chunk = expected > 0 ? expected + 1 : 65536;
  for (;;) {
    // The room is read into as it is: filling it with zeros first would cost a pass over
    // the whole file.
    ssize_t got = 0;
    int failure = 0;
    data.resize_and_overwrite(data.size() + chunk, [&](char *text, std::size_t size) {
      const std::size_t old = size - chunk;
      got = ::read(fd.get(), text + old, chunk);
      failure = errno;
      return old + static_cast<std::size_t>(std::max<ssize_t>(got, 0));
    });
    if (got < 0) {
      if (failure == EINTR)
        continue;
      throw OsError(failure, path);
    }
    if (got == 0)
      break;
    // Read on into the room still reserved: for a regular file that read finds its end, and
    // must not grow the buffer (a copy of the whole file).
    std::size_t room = data.capacity() - data.size();
    chunk = room > kReadPadding ? room - kReadPadding : 65536;
  }
  data.reserve(data.size() + kReadPadding);
  return data;
}
} // namespace

std::string read_file(const std::string &path) {
  std::string data = read_bytes(path);
  if (is_gzip_name(path))
    return gunzip(data, path, kReadPadding);
  // Returned as it is, not through a conditional expression: that would copy it, and the copy
  // has none of the spare capacity the parsers read past the end into (so the JSON parser
  // copied it once more).
  return data;
}

std::string read_text(const std::string &path) {
  std::string data = read_file(path);
  text::validate_utf8(data);
  return data;
}

std::string read_text_sig(const std::string &path) {
  std::string data = read_file(path);
  if (data.starts_with("\xEF\xBB\xBF"))
    data.erase(0, 3);
  text::validate_utf8(data);
  return data;
}

namespace {
bool stat_path(const std::string &path, struct stat &info) {
  return ::stat(native_path(path).c_str(), &info) == 0;
}
} // namespace

bool exists(const std::string &path) {
  struct stat info {};
  return stat_path(path, info);
}

bool is_dir(const std::string &path) {
  struct stat info {};
  return stat_path(path, info) && S_ISDIR(info.st_mode);
}

bool is_file(const std::string &path) {
  struct stat info {};
  return stat_path(path, info) && S_ISREG(info.st_mode);
}

bool same_file(const std::string &a, const std::string &b) {
  struct stat first {
  }, second{};
  return stat_path(a, first) && stat_path(b, second) && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::string_view base_name(std::string_view path) noexcept {
  std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string join(std::string_view a, std::string_view b) {
  if (b.starts_with('/') || a.empty())
    return std::string(b);
  std::string out(a);
  if (!out.ends_with('/'))
    out.push_back('/');
  out.append(b);
  return out;
}

std::vector<std::string> list_dir(const std::string &path) {
  DIR *dir = ::opendir(native_path(path).c_str());
  if (dir == nullptr)
    throw OsError(errno, path);
  std::vector<std::string> names;
  errno = 0;
  while (const dirent *entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name != "." && name != "..")
      names.push_back(host_path(name));
  }
  int failure = errno;
  ::closedir(dir);
  if (failure != 0)
    throw OsError(failure, path);
  return names;
}

} // namespace orvelle::io
