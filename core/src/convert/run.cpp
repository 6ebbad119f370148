// core/src/convert/run.cpp: reading every input, merging, and writing the result file.
#include "orvelle/convert/orvelle_pgx_parser.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/output_file.h"
#include "orvelle/json/write.h"
#include "orvelle/log.h"
#include "orvelle/readers/pgx_reader_factory.h"

namespace orvelle {

std::vector<GeneOutcome> OrvellePgxParser::parse_files() {
  const std::vector<std::string> files = resolve_input_files();
  if (files.empty())
    throw ValueError(std::string(NO_INPUT_MESSAGE));

  std::vector<RawCall> calls;
  for (const std::string &file_path : files) {
    std::unique_ptr<IPgxReader> parser = PgxReaderFactory::get_parser(file_path);
    std::vector<RawCall> file_calls = parser->parse();
    log::info("%s: %d gene call(s) from %s",
              {std::string(io::base_name(file_path)), static_cast<std::int64_t>(file_calls.size()),
               std::string(parser->source_name())});
    calls.insert(calls.end(), std::make_move_iterator(file_calls.begin()),
                 std::make_move_iterator(file_calls.end()));
    collect_versions(*parser);
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
  json::Writer out(gzip_output ? json::Layout::compact : json::Layout::indented);
  out.begin_array();
  for (const GeneOutcome &result : results)
    result.write_result(out);
  out.end_array();
  if (gzip_output) {
    if (!out_path.ends_with(".gz"))
      out_path += ".gz";
    io::write_file_atomically(out_path, io::gzip_compress(out.text()));
  } else {
    io::write_file_atomically(out_path, out.text());
  }
  log::info("Wrote %d gene results to %s", {static_cast<std::int64_t>(results.size()), out_path});

  if (write_provenance_enabled)
    write_provenance(results, out_path);
  return std::nullopt;
}

} // namespace orvelle
