// core/src/mappings/mapping_tables.cpp: the process-wide registry of the packaged mapping
// tables: each table read from the host's folder and parsed on first use, then shared.
#include "orvelle/mappings/mapping_tables.h"

#include "orvelle/constants.h"
#include "orvelle/errors.h"
#include "orvelle/host.h"
#include "orvelle/io/file.h"
#include "orvelle/json/parse.h"

#include <map>
#include <mutex>

namespace orvelle::mappings {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<const json::Document>, std::less<>> tables;
};

Registry &registry() {
  static Registry instance;
  return instance;
}

bool is_known(std::string_view name) {
  return name == constants::MAPPING_GENE_RULES || name == constants::MAPPING_PHENOTYPE_TERMS ||
         name == constants::MAPPING_GENOTYPE_TERMS;
}

std::shared_ptr<const json::Document> read_table(std::string_view name, const std::string &path) {
  const std::string prefix = "mapping table '" + std::string(name) + "' (" + path + ")";
  json::Document document;
  try {
    document = json::parse(io::read_text(path));
  } catch (const OsError &error) {
    throw ValueError("cannot read " + prefix + ": " + error.what());
  } catch (const UnicodeDecodeFailure &) {
    throw ValueError(prefix + " is not valid UTF-8");
  } catch (const json::SyntaxError &error) {
    throw ValueError(prefix + " is not valid JSON: " + error.what());
  }
  if (!document.root().is_object())
    throw ValueError(prefix + " is not a JSON object");
  return std::make_shared<const json::Document>(std::move(document));
}

} // namespace

std::shared_ptr<const json::Document> load_mapping(std::string_view name) {
  if (!is_known(name))
    throw ValueError("unknown mapping table '" + std::string(name) + "'");
  Registry &r = registry();
  std::lock_guard lock(r.mutex);
  if (auto found = r.tables.find(name); found != r.tables.end())
    return found->second;
  auto table =
      read_table(name, io::join(host::current().mapping_directory(), std::string(name) + ".json"));
  r.tables.emplace(std::string(name), table);
  return table;
}

} // namespace orvelle::mappings
