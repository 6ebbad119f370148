// orvelle/io/unzip.h: the members of a zip archive (PyPGx writes its results as one), read
// through minizip.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvelle::io {

struct ZipMember {
  std::string name; ///< the path inside the archive, as stored
  std::string data; ///< inflated
};

/// Every file member of the zip archive `archive` (the bytes of the file at `path`), inflated,
/// in archive order; directory entries are left out. Throws ValueError "<path>: <reason>" for
/// bytes that are no zip archive, a corrupt or encrypted member, and members that together
/// inflate past inflate_limit (io/gunzip.h) of the archive's size.
std::vector<ZipMember> unzip(std::string_view archive, const std::string &path);

} // namespace orvelle::io
