// core/src/convert/run.cpp: reading every input, merging, and writing the result file.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/output_file.h"
#include "orvelle/json/write.h"
#include "orvelle/log.h"
#include "orvelle/readers/pgx_reader_factory.h"

#include <optional>

namespace orvelle {

std::vector<GeneOutcome> OrvellePgxParser::parse_files() {
  const std::vector<std::string> files = resolve_input_files();
  if (files.empty())
    throw ValueError(std::string(NO_INPUT_MESSAGE));

  std::vector<RawCall> calls;
  for (const std::string &file_path : files) {
    std::unique_ptr<IPgxReader> parser = PgxReaderFactory::get_parser(file_path);
    // A file's versions are read before its calls, so that the file's tree and its calls are
    // never held at once (a large report would peak at its text, tree and calls); they are
    // recorded, or their failure logged, after the calls as always.
    CallerVersions versions = read_caller_versions(*parser);
    std::vector<RawCall> file_calls = parser->parse();
    log::info("%s: %d gene call(s) from %s",
              {std::string(io::base_name(file_path)), static_cast<std::int64_t>(file_calls.size()),
               std::string(parser->source_name())});
    if (calls.empty()) // one file, or the first: its calls as they are, not a copy
      calls = std::move(file_calls);
    else
      calls.insert(calls.end(), std::make_move_iterator(file_calls.begin()),
                   std::make_move_iterator(file_calls.end()));
    record_versions(std::move(versions));
  }
  std::vector<GeneOutcome> results = merge(calls);
  normalizer.log_unmapped();
  return results;
}

std::optional<std::vector<GeneOutcome>> OrvellePgxParser::run(bool return_list) {
  std::vector<GeneOutcome> results = parse_files();
  if (return_list)
    return results;

  // An empty folder part means the current directory, as everywhere else in a path.
  io::make_dirs(output_dir);
  std::string out_path = io::join(output_dir, output_json);
  if (gzip_output && !out_path.ends_with(".gz"))
    out_path += ".gz";

  // Both files are written in full before either replaces its predecessor: a run that fails
  // leaves the result and its sidecar as they were, never a new result beside an old sidecar.
  // Each text is let go once staged, so the two are never held at once.
  std::optional<io::StagedFile> result_file;
  {
    json::Writer out(gzip_output ? json::Layout::compact : json::Layout::indented);
    out.begin_array();
    for (const GeneOutcome &result : results)
      result.write_result(out);
    out.end_array();
    result_file.emplace(out_path, gzip_output ? io::gzip_compress(out.text()) : out.take());
  }
  std::optional<io::StagedFile> sidecar_file;
  std::string sidecar_path;
  if (write_provenance_enabled) {
    sidecar_path = provenance_path(out_path);
    sidecar_file.emplace(sidecar_path, provenance_text(results));
  }
  result_file->commit();
  log::info("Wrote %d gene results to %s", {static_cast<std::int64_t>(results.size()), out_path});
  if (sidecar_file) {
    sidecar_file->commit();
    log::info("Wrote provenance to %s", {sidecar_path});
  }
  return std::nullopt;
}

} // namespace orvelle
