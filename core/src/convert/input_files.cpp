// core/src/convert/input_files.cpp: which files a run reads, in reading order.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/log.h"
#include "orvelle/readers/pgx_reader_factory.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

namespace orvelle {
namespace {

// A gzip-compressed input (x.json.gz) counts by the name it has uncompressed.
bool has_input_suffix(std::string_view name) {
  const std::string lowered = text::lower(io::uncompressed_name(name));
  const auto &suffixes = OrvellePgxParser::INPUT_SUFFIXES;
  return std::any_of(suffixes.begin(), suffixes.end(),
                     [&](std::string_view suffix) { return lowered.ends_with(suffix); });
}

} // namespace

std::vector<std::string> OrvellePgxParser::resolve_input_files() const {
  std::vector<std::string> resolved;
  for (const std::string &name : input_files) {
    if (io::exists(name)) {
      resolved.push_back(name);
      continue;
    }
    std::string candidate = io::join(input_dir, name);
    if (io::exists(candidate))
      resolved.push_back(std::move(candidate));
    else
      log::warning("Input file not found, skipping: %s", {name});
  }
  // A name that cannot be found is never replaced by whatever the folder holds.
  if (!input_files.empty() || !io::is_dir(input_dir))
    return resolved;

  // Every input file of the folder, in code-point order, but not what this run writes (an
  // earlier run's result would be read back as an input).
  const std::vector<std::string> own_outputs = own_output_paths();
  auto is_own_output = [&](const std::string &path) {
    return std::any_of(own_outputs.begin(), own_outputs.end(),
                       [&](const std::string &own) { return io::same_file(path, own); });
  };
  std::vector<std::string> names = io::list_dir(input_dir);
  std::sort(names.begin(), names.end()); // so the files left out are told in that order too
  for (const std::string &name : names) {
    std::string path = io::join(input_dir, name);
    if (!has_input_suffix(name) || !io::is_file(path) || is_own_output(path))
      continue;
    // A caller's intermediate file beside its outputs (PharmCAT's match.json) holds no call
    // of its own: named, it is refused; found in a folder, it is passed over.
    if (std::optional<std::string> reason = PgxReaderFactory::left_out(path)) {
      log::info("Leaving out %s: %s", {path, *reason});
      continue;
    }
    resolved.push_back(std::move(path));
  }
  return resolved;
}

} // namespace orvelle
