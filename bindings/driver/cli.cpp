// bindings/driver/cli.cpp: the command `orvelle-pgx-parser`: the host's parsed command line
// (its option table, OrvellePgxParser._command, is shared with the cohort command) turned into
// a request, run, and written where the options say.
#include "driver/cli.h"

#include "driver/request.h"
#include "support/gene_result.h"
#include "support/nb.h"

#include "orvelle/constants.h"
#include "orvelle/convert/orvelle_pgx_parser.h"
#include "orvelle/io/file.h"
#include "orvelle/io/output_file.h"
#include "orvelle/log.h"

#include <optional>

namespace orvelle::bind {
namespace {

namespace c = constants;
using namespace nb::literals;

// --output-json - : the result as the file would hold it, on standard output.
constexpr std::string_view STANDARD_OUTPUT = "-";

void write_to_standard_output(const std::string &text) {
  nb::object out = nb::module_::import_("sys").attr("stdout");
  out.attr("write")(host_str(text));
  out.attr("flush")();
}

// The results written as the run's outside-call file (the host's writer, shared with the
// cohort).
void write_outside_calls(const std::string &path, std::vector<GeneOutcome> &&results) {
  nb::module_::import_("OrvellePgxParser.outside_calls")
      .attr("write_outside_calls")(host_str(path), outcome_objects(std::move(results)));
}

} // namespace

void from_cli() {
  // The options and their checks are the host's, shared with the cohort command.
  nb::object command = nb::module_::import_("OrvellePgxParser._command");
  nb::object args =
      command.attr("parse_arguments")(command.attr("SINGLE"), host_str(package_version()));
  const bool to_standard_output =
      nb::cast<std::string>(args.attr("output_json")) == STANDARD_OUTPUT;

  // basicConfig leaves a host's own logging set-up as it is.
  nb::module_::import_("logging").attr("basicConfig")(
      "level"_a = command.attr("log_level")(args.attr("log_level")),
      "format"_a = "%(levelname)s %(message)s");

  // Every request value is given here, so the request's own defaults never apply.
  ConversionRequest request;
  request.input_files = path_list(c::INPUT_FILES, args.attr("input_files"));
  request.input_dir = path_value(c::INPUT_DIR, args.attr("input_dir"));
  nb::object output_dir = args.attr("output_dir");
  request.output_dir = output_dir.is_none() ? "." : path_value(c::OUTPUT_DIR, output_dir);
  // On standard output the result keeps its default name for the sidecar's path (and for the
  // folder scan, which leaves an earlier run's files out).
  request.output_json = to_standard_output ? std::string(c::DEFAULT_OUTPUT_JSON)
                                           : path_value(c::OUTPUT_JSON, args.attr("output_json"));
  request.gzip_output = nb::cast<bool>(args.attr("gzip"));
  request.write_provenance =
      !nb::cast<bool>(args.attr("no_provenance")) && (!to_standard_output || !output_dir.is_none());
  request.recover_dropped_genes = !nb::cast<bool>(args.attr("no_recover"));
  if (nb::object genes = args.attr("genes"); !genes.is_none()) // an empty list: no restriction
    request.gene_filter = text_set(c::GENE_FILTER, genes);
  request.phenotype_source = requested_source(args.attr("phenotype_source"));
  if (nb::object sample = args.attr("sample"); !sample.is_none() && nb::len(sample) > 0)
    request.sample = nb::cast<std::string>(sample); // an empty name, as in a request: none

  OrvellePgxParser driver(std::move(request));
  std::optional<std::string> outside_calls;
  if (nb::object path = args.attr("outside_calls"); !path.is_none()) {
    outside_calls = path_value("outside_calls", path);
    driver.other_outputs.push_back(*outside_calls);
  }
  if (!to_standard_output && !outside_calls) {
    driver.run(false);
    return;
  }

  std::vector<GeneOutcome> results = driver.parse_files();
  if (to_standard_output) {
    write_to_standard_output(driver.result_text(results));
    log::info("Wrote %d gene results to standard output",
              {static_cast<std::int64_t>(results.size())});
    if (driver.write_provenance_enabled) {
      io::make_dirs(driver.output_dir);
      driver.write_provenance(results, driver.result_path());
    }
  } else {
    driver.write_results(results);
  }
  if (outside_calls)
    write_outside_calls(*outside_calls, std::move(results));
}

} // namespace orvelle::bind
