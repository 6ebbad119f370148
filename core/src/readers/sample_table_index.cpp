// core/src/readers/sample_table_index.cpp: the process's indexes of large tables of several
// samples, a few at a time, the least recently used let go first.
#include "sample_table_index.h"

#include "sample_rows.h"
#include "table_rows.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/text/host_text.h"

#include <algorithm>
#include <list>
#include <mutex>
#include <sys/stat.h>
#include <tuple>

namespace orvelle {
namespace {

constexpr std::size_t KEPT_TABLES = 8;

using FileIdentity = std::tuple<dev_t, ino_t, off_t, long long, long long>;

std::optional<FileIdentity> identity(const std::string &path) {
  struct stat info {};
  if (::stat(io::native_path(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size < INDEXED_TABLE_BYTES)
    return std::nullopt;
  return FileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec,
                      info.st_mtim.tv_nsec};
}

std::shared_ptr<const SampleTableIndex> build(const std::string &path) {
  TableRows table(io::read_text_sig(path), csv::Dialect{.delimiter = '\t'});
  if (!table.fieldnames() || table.fieldnames()->empty())
    return nullptr;
  auto index = std::make_shared<SampleTableIndex>();
  index->header = *table.fieldnames();
  index->columns.assign(table.columns().begin(), table.columns().end());
  for (csv::Row row; table.next(row);) {
    IndexedRow &kept = index->rows.emplace_back();
    kept.fields.assign(row.fields().begin(), row.fields().end());
    const std::string name(text::strip(row.at(0).value_or("")));
    if (index->rows.size() == 1) {
      index->first = name;
      if (std::optional<std::string_view> suffix = suffix_of(name))
        index->suffix.emplace(*suffix);
    } else if (index->suffix && !name.ends_with(*index->suffix)) {
      index->suffix.reset();
    }
    index->rows_of[name].push_back(index->rows.size() - 1);
  }
  return index;
}

struct Cache {
  std::mutex lock;
  std::list<std::pair<FileIdentity, std::shared_ptr<const SampleTableIndex>>> kept; // recent first
  std::list<FileIdentity> seen_once;                                                // recent first
};

// True when `key` is among `keys`; it then moves to the front.
bool recent(std::list<FileIdentity> &keys, const FileIdentity &key) {
  auto found = std::find(keys.begin(), keys.end(), key);
  if (found == keys.end())
    return false;
  keys.splice(keys.begin(), keys, found);
  return true;
}

Cache &cache() {
  static Cache instance;
  return instance;
}

} // namespace

std::vector<std::size_t> SampleTableIndex::candidate_rows(std::string_view wanted) const {
  std::vector<std::size_t> found;
  const std::string prefix = std::string(wanted) + "_";
  if (auto exact = rows_of.find(wanted); exact != rows_of.end())
    found = exact->second;
  for (auto it = rows_of.lower_bound(prefix); it != rows_of.end() && it->first.starts_with(prefix);
       ++it)
    if (it->first.find('_', prefix.size()) == std::string::npos && it->first.size() > prefix.size())
      found.insert(found.end(), it->second.begin(), it->second.end());
  std::sort(found.begin(), found.end());
  return found;
}

std::shared_ptr<const SampleTableIndex> indexed_table(const std::string &path, bool index) {
  const std::optional<FileIdentity> key = identity(path);
  if (!key)
    return nullptr;
  Cache &tables = cache();
  // Held while a table is indexed: the threads that want it wait for the one index.
  std::lock_guard<std::mutex> held(tables.lock);
  auto found = std::find_if(tables.kept.begin(), tables.kept.end(),
                            [&](const auto &entry) { return entry.first == *key; });
  if (found != tables.kept.end()) {
    tables.kept.splice(tables.kept.begin(), tables.kept, found);
    return found->second;
  }
  if (!index)
    return nullptr;
  if (!recent(tables.seen_once, *key)) {
    tables.seen_once.push_front(*key);
    if (tables.seen_once.size() > KEPT_TABLES)
      tables.seen_once.pop_back();
    return nullptr;
  }
  std::shared_ptr<const SampleTableIndex> made;
  try {
    made = build(path);
  } catch (const std::exception &) {
    return nullptr; // the reader reads the file itself and reports what is wrong with it
  }
  tables.kept.emplace_front(*key, made);
  if (tables.kept.size() > KEPT_TABLES)
    tables.kept.pop_back();
  return made;
}

} // namespace orvelle
