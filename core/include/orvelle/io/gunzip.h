// orvelle/io/gunzip.h: the gzip-compressed inputs a caller may write (sample.pbstarphase.json.gz).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvelle::io {

/// True when the base name of `path` ends in ".gz" (any case): such a file is read as the data
/// its gzip stream holds.
bool is_gzip_name(std::string_view path) noexcept;

/// The base name of `path` as the file would be called uncompressed: without a final ".gz"
/// (any case). Name rules (which reader, which gene) look at this name.
std::string_view uncompressed_name(std::string_view path) noexcept;

/// The most that `compressed_size` bytes of gzip may inflate to before they are refused as a
/// decompression bomb: 256 times the compressed size (real caller output inflates 5 to 30
/// times), at least 64 MiB, at most 2 GiB (ten times the largest report the converter is
/// built for).
std::size_t inflate_limit(std::size_t compressed_size) noexcept;

/// The data of the gzip stream `compressed`, members one after another as gzip appends them
/// (zero bytes after the last are ignored); empty input gives empty data. `spare` bytes of
/// capacity are left after the data. Throws ValueError "<path>: <reason>" for data that is not
/// gzip, a corrupt or truncated stream, or one that inflates past inflate_limit.
std::string gunzip(std::string_view compressed, const std::string &path, std::size_t spare);

} // namespace orvelle::io
