// core/src/io/gunzip.cpp: inflating gzip inputs with zlib, bounded against decompression bombs.
#include "orvelle/io/gunzip.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"

#include <algorithm>
#include <climits>
#include <new>
#include <zlib.h>

namespace orvelle::io {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kInflateFloor = 64 * kMiB;
constexpr std::size_t kInflateCeiling = 2048 * kMiB;
constexpr std::size_t kInflateRatio = 256;
constexpr std::size_t kChunk = 256 * 1024;
constexpr std::size_t kMostPerStep = 16 * kMiB; // each step zero-fills its room first

class Inflater {
public:
  Inflater() {
    // windowBits 15 + 16: a gzip wrapper only (a raw zlib stream is no gzip file).
    int status = inflateInit2(&stream_, 15 + 16);
    if (status == Z_MEM_ERROR)
      throw std::bad_alloc();
    if (status != Z_OK)
      throw ValueError("gzip: cannot initialise the decompressor");
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater &) = delete;
  Inflater &operator=(const Inflater &) = delete;
  z_stream &stream() noexcept { return stream_; }

private:
  z_stream stream_{};
};

// The size the last member's trailer records (modulo 4 GiB): a hint for the first buffer,
// trusted no further than the limit.
std::size_t recorded_size(std::string_view compressed) noexcept {
  if (compressed.size() < 18)
    return 0;
  const auto *tail = reinterpret_cast<const unsigned char *>(compressed.data() + compressed.size());
  return std::size_t{tail[-4]} | std::size_t{tail[-3]} << 8 | std::size_t{tail[-2]} << 16 |
         std::size_t{tail[-1]} << 24;
}

std::string failure(const std::string &path, std::string_view reason) {
  return path + ": " + std::string(reason);
}

} // namespace

bool is_gzip_name(std::string_view path) noexcept {
  // Only "G" and "Z" lower-case to "g" and "z", so an ASCII test matches the host's lower().
  std::string_view name = base_name(path);
  if (name.size() < 3)
    return false;
  std::string_view end = name.substr(name.size() - 3);
  return end[0] == '.' && (end[1] | 0x20) == 'g' && (end[2] | 0x20) == 'z';
}

std::string_view uncompressed_name(std::string_view path) noexcept {
  std::string_view name = base_name(path);
  return is_gzip_name(name) ? name.substr(0, name.size() - 3) : name;
}

std::size_t inflate_limit(std::size_t compressed_size) noexcept {
  const std::size_t relative = compressed_size > kInflateCeiling / kInflateRatio
                                   ? kInflateCeiling
                                   : compressed_size * kInflateRatio;
  return std::clamp(relative, kInflateFloor, kInflateCeiling);
}

std::string gunzip(std::string_view compressed, const std::string &path, std::size_t spare) {
  std::string out;
  if (compressed.empty()) {
    out.reserve(spare);
    return out;
  }
  if (compressed.size() < 2 || static_cast<unsigned char>(compressed[0]) != 0x1f ||
      static_cast<unsigned char>(compressed[1]) != 0x8b)
    throw ValueError(failure(path, "not a gzip file"));

  const std::size_t limit = inflate_limit(compressed.size());
  // deflate shrinks data at most 1032 times: a trailer recording more is not believed.
  out.reserve(std::min({recorded_size(compressed), limit, compressed.size() * 1032}) + spare);
  Inflater inflater;
  z_stream &stream = inflater.stream();
  auto *next_in = reinterpret_cast<const Bytef *>(compressed.data());
  std::size_t left_in = compressed.size();

  for (;;) {
    // Fill the room already reserved before growing (each growth copies what is there);
    // never ask for more than one byte past the limit, which tells a bomb apart.
    std::size_t room = out.capacity() - out.size();
    std::size_t chunk = room > spare + kChunk / 4 ? room - spare : kChunk;
    chunk = std::min({chunk, kMostPerStep, limit + 1 - out.size()});
    const std::size_t old = out.size();
    out.resize(old + chunk);
    stream.next_in = const_cast<Bytef *>(next_in);
    stream.avail_in = static_cast<uInt>(std::min(left_in, std::size_t{UINT_MAX}));
    stream.next_out = reinterpret_cast<Bytef *>(out.data() + old);
    stream.avail_out = static_cast<uInt>(chunk);
    const uInt offered = stream.avail_in;
    const int status = inflate(&stream, Z_NO_FLUSH);
    out.resize(old + chunk - stream.avail_out);
    left_in -= offered - stream.avail_in;
    next_in = stream.next_in;

    if (out.size() > limit)
      throw ValueError(failure(path, "inflates past " + std::to_string(limit / kMiB) +
                                         " MiB, far more than any caller output; refused as a "
                                         "decompression bomb"));
    if (status == Z_STREAM_END) {
      // Another member may follow (gzip appends them); zero padding after the last is ignored.
      while (left_in > 0 && *next_in == 0) {
        ++next_in;
        --left_in;
      }
      if (left_in == 0)
        break;
      if (inflateReset(&stream) != Z_OK)
        throw ValueError(failure(path, "corrupt gzip stream"));
      continue;
    }
    if (status == Z_MEM_ERROR)
      throw std::bad_alloc();
    if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_ERROR)
      throw ValueError(failure(path, std::string("corrupt gzip stream (") +
                                         (stream.msg != nullptr ? stream.msg : "invalid data") +
                                         ")"));
    // Z_OK or Z_BUF_ERROR: no input left with the stream unfinished means it was cut short.
    if (left_in == 0 && stream.avail_out != 0)
      throw ValueError(failure(path, "truncated gzip stream (it ends before its last block)"));
  }
  out.reserve(out.size() + spare);
  return out;
}

} // namespace orvelle::io
