// core/src/convert/run.cpp: reading every input, merging, and writing the result file.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/output_file.h"
#include "orvelle/json/write.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"

namespace orvelle {

std::vector<GeneOutcome> OrvellePgxParser::parse_files() {
  failed_input.reset();
  const std::vector<std::string> files = resolve_input_files();
  if (files.empty() && !input_files.empty())
    throw FileNotFound("None of the input files was found: " + text::join(", ", input_files));
  if (files.empty())
    throw ValueError(std::string(NO_INPUT_MESSAGE));

  std::vector<GeneOutcome> results = merge(read_inputs(files));
  normalizer.log_unmapped();
  return results;
}

std::string OrvellePgxParser::result_path() const {
  std::string out_path = io::join(output_dir, output_json);
  if (gzip_output && !out_path.ends_with(".gz"))
    out_path += ".gz";
  return out_path;
}

std::vector<std::string> OrvellePgxParser::own_output_paths() const {
  std::string plain = io::join(output_dir, output_json);
  std::vector<std::string> paths{provenance_path(plain), plain};
  if (!plain.ends_with(".gz"))
    paths.push_back(std::move(plain) + ".gz");
  paths.insert(paths.end(), other_outputs.begin(), other_outputs.end());
  return paths;
}

std::optional<std::vector<GeneOutcome>> OrvellePgxParser::run(bool return_list) {
  std::vector<GeneOutcome> results = parse_files();
  if (return_list)
    return results;
  write_results(results);
  return std::nullopt;
}

std::string OrvellePgxParser::result_text(const std::vector<GeneOutcome> &results) const {
  json::Writer out(gzip_output ? json::Layout::compact : json::Layout::indented);
  out.begin_array();
  for (const GeneOutcome &result : results)
    result.write_result(out);
  out.end_array();
  return out.take();
}

void OrvellePgxParser::write_results(const std::vector<GeneOutcome> &results) {
  // An empty folder part means the current directory, as everywhere else in a path.
  io::make_dirs(output_dir);
  const std::string out_path = result_path();

  {
    std::string text = result_text(results);
    // The text is let go at the end of this block, before the sidecar's is made.
    io::write_file_atomically(out_path, gzip_output ? io::gzip_compress(text) : std::move(text),
                              sync_each_file);
  }
  log::info("Wrote %d gene results to %s", {static_cast<std::int64_t>(results.size()), out_path});

  if (write_provenance_enabled) {
    try {
      write_provenance(results, out_path);
    } catch (...) {
      // The result was just replaced, so a sidecar left by an earlier run would now describe
      // another result: it goes, and the failure still ends the run.
      io::remove_regular_file(provenance_path(out_path));
      throw;
    }
  }
}

} // namespace orvelle
