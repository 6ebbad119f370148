// core/src/io/unzip.cpp: zip archives read from memory through minizip, with the bound the gzip
// inputs use on what they may inflate to.
#include "orvelle/io/unzip.h"

#include "orvelle/errors.h"
#include "orvelle/io/gunzip.h"

// Debian's minizip puts its headers in include/minizip and, from 1.3.2 on (sid), no longer
// adds that folder to the compiler's path: named by folder, the header is found either way.
#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace orvelle::io {
namespace {

// The archive's bytes as a file minizip reads through its I/O hooks.
struct MemoryFile {
  std::string_view bytes;
  std::size_t at = 0;
};

voidpf open_memory(voidpf opaque, const void * /*name*/, int /*mode*/) { return opaque; }

uLong read_memory(voidpf /*opaque*/, voidpf stream, void *buffer, uLong size) {
  auto &file = *static_cast<MemoryFile *>(stream);
  const std::size_t count = std::min<std::size_t>(size, file.bytes.size() - file.at);
  std::memcpy(buffer, file.bytes.data() + file.at, count);
  file.at += count;
  return static_cast<uLong>(count);
}

uLong write_memory(voidpf, voidpf, const void *, uLong) { return 0; }

ZPOS64_T tell_memory(voidpf /*opaque*/, voidpf stream) {
  return static_cast<MemoryFile *>(stream)->at;
}

long seek_memory(voidpf /*opaque*/, voidpf stream, ZPOS64_T offset, int origin) {
  auto &file = *static_cast<MemoryFile *>(stream);
  ZPOS64_T base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR)
    base = file.at;
  else if (origin == ZLIB_FILEFUNC_SEEK_END)
    base = file.bytes.size();
  if (offset > file.bytes.size() - std::min<ZPOS64_T>(base, file.bytes.size()))
    return -1;
  file.at = static_cast<std::size_t>(base + offset);
  return 0;
}

int close_memory(voidpf, voidpf) { return 0; }
int error_memory(voidpf, voidpf) { return 0; }

struct Closer {
  void operator()(unzFile archive) const { unzClose(archive); }
};
using Archive = std::unique_ptr<void, Closer>;

// The current member's data, at most `room` bytes of it; false when it holds more.
bool read_member(unzFile archive, std::string &data, std::size_t room, const std::string &path) {
  if (unzOpenCurrentFile(archive) != UNZ_OK)
    throw ValueError(path + ": a corrupt zip member");
  char buffer[1 << 16];
  int got;
  while ((got = unzReadCurrentFile(archive, buffer, sizeof buffer)) > 0) {
    if (static_cast<std::size_t>(got) > room) {
      unzCloseCurrentFile(archive);
      return false;
    }
    data.append(buffer, static_cast<std::size_t>(got));
    room -= static_cast<std::size_t>(got);
  }
  // Closing checks the member's CRC once it has been read whole.
  if (unzCloseCurrentFile(archive) != UNZ_OK || got < 0)
    throw ValueError(path + ": a corrupt zip member");
  return true;
}

} // namespace

std::vector<ZipMember> unzip(std::string_view bytes, const std::string &path) {
  MemoryFile file{bytes};
  zlib_filefunc64_def hooks{open_memory, read_memory,  write_memory, tell_memory,
                            seek_memory, close_memory, error_memory, &file};
  const Archive archive(unzOpen2_64(path.c_str(), &hooks));
  if (!archive)
    throw ValueError(path + ": not a zip archive");

  std::vector<ZipMember> members;
  std::size_t room = inflate_limit(bytes.size());
  for (int at = unzGoToFirstFile(archive.get()); at != UNZ_END_OF_LIST_OF_FILE;
       at = unzGoToNextFile(archive.get())) {
    if (at != UNZ_OK)
      throw ValueError(path + ": a corrupt zip archive");
    unz_file_info64 info{};
    char name[4096];
    if (unzGetCurrentFileInfo64(archive.get(), &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
        UNZ_OK)
      throw ValueError(path + ": a corrupt zip archive");
    const std::string_view member_name(name, std::min(std::strlen(name), sizeof name - 1));
    if (member_name.ends_with('/'))
      continue; // a directory entry
    if ((info.flag & 1) != 0)
      throw ValueError(path + ": an encrypted zip member");
    ZipMember &member = members.emplace_back(ZipMember{std::string(member_name), {}});
    if (!read_member(archive.get(), member.data, room, path))
      throw ValueError(path + ": inflates past " +
                       std::to_string(inflate_limit(bytes.size()) / (1024 * 1024)) +
                       " MiB, far more than any caller output; refused as a decompression bomb");
    room -= member.data.size();
  }
  return members;
}

} // namespace orvelle::io
