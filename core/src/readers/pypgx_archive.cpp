// core/src/readers/pypgx_archive.cpp: reading a PyPGx results archive: its folder, metadata and
// results table.
#include "pypgx_archive.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/unzip.h"
#include "orvelle/readers/ipgx_reader.h"
#include "orvelle/readers/pypgx_table_reader.h"
#include "orvelle/text/host_text.h"
#include "orvelle/text/utf8.h"

#include <algorithm>

namespace orvelle {
namespace {

constexpr std::string_view METADATA = "metadata.txt";
constexpr std::string_view TABLE = "data.tsv";

// The value of `key` in metadata.txt's key=value lines.
std::optional<std::string> metadata_value(std::string_view metadata, std::string_view key) {
  while (!metadata.empty()) {
    const std::size_t end = std::min(metadata.find('\n'), metadata.size());
    const std::string_view line = text::strip(metadata.substr(0, end));
    metadata.remove_prefix(std::min(end + 1, metadata.size()));
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos && text::strip(line.substr(0, equals)) == key)
      return std::string(text::strip(line.substr(equals + 1)));
  }
  return std::nullopt;
}

// UTF-8 text without a byte-order mark, as a table file is read.
std::string decoded(std::string data) {
  if (data.starts_with("\xEF\xBB\xBF"))
    data.erase(0, 3);
  text::validate_utf8(data);
  return data;
}

// The archive's members and the two of its folder a results archive holds.
struct ArchiveFiles {
  explicit ArchiveFiles(const std::string &path) : members(io::unzip(io::read_file(path), path)) {
    // PyPGx puts both files in one folder and finds it from the first member, as here.
    std::string folder;
    if (!members.empty())
      if (const std::size_t slash = members.front().name.find('/'); slash != std::string::npos)
        folder = members.front().name.substr(0, slash + 1);
    metadata = member(folder, METADATA);
    table = member(folder, TABLE);
  }

  std::string *member(const std::string &folder, std::string_view name) {
    for (io::ZipMember &entry : members)
      if (entry.name.size() == folder.size() + name.size() && entry.name.starts_with(folder) &&
          entry.name.ends_with(name))
        return &entry.data;
    return nullptr;
  }

  std::vector<io::ZipMember> members;
  std::string *metadata = nullptr;
  std::string *table = nullptr;
};

} // namespace

PyPgxArchive read_pypgx_archive(const std::string &path) {
  ArchiveFiles files(path);
  if (files.metadata == nullptr || files.table == nullptr)
    throw not_recognised(path, PyPgxTableReader::EXPECTED_ARCHIVE);
  const std::optional<std::string> type = metadata_value(*files.metadata, "SemanticType");
  if (type != PyPgxTableReader::RESULTS_TYPE)
    throw not_recognised(path, std::string(PyPgxTableReader::EXPECTED_ARCHIVE) +
                                   "; this archive is " +
                                   (type ? "a " + *type : std::string("of no semantic type")));
  return {decoded(std::move(*files.table)), metadata_value(*files.metadata, "Gene"),
          metadata_value(*files.metadata, "Assembly")};
}

std::optional<std::string> pypgx_archive_passed_over(const std::string &path) {
  try {
    ArchiveFiles files(path);
    if (files.metadata == nullptr)
      return std::nullopt;
    const std::optional<std::string> type = metadata_value(*files.metadata, "SemanticType");
    if (!type || *type == PyPgxTableReader::RESULTS_TYPE)
      return std::nullopt;
    return "a PyPGx " + *type + " archive, which holds no calls (its results archive does)";
  } catch (const ValueError &) {
  } catch (const OsError &) {
  }
  return std::nullopt; // read as a results archive, which then says what is wrong with it
}

} // namespace orvelle
