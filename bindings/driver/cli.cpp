// bindings/driver/cli.cpp: the command `orvelle-pgx-parser`, built on the host's argparse and
// logging (called once per process, so they are used as they are, through the C API).
#include "driver/cli.h"

#include "driver/request.h"
#include "support/nb.h"

#include "orvelle/constants.h"
#include "orvelle/convert/orvelle_pgx_parser.h"
#include "orvelle/io/file.h"
#include "orvelle/io/output_file.h"
#include "orvelle/log.h"
#include "orvelle/text/host_text.h"

#include <algorithm>
#include <optional>

namespace orvelle::bind {
namespace {

namespace c = constants;
using namespace nb::literals;

nb::object command_parser(nb::handle command) {
  nb::object parser = command.attr("argument_parser")(
      "orvelle-pgx-parser", "Convert PharmCAT / pbStarPhase / diplotype-table PGx output into the "
                            "Orvelle PGx JSON format for upload to Orvelle Analysis.");
  nb::object add = parser.attr("add_argument");
  add("input_files", "nargs"_a = "*", "help"_a = "input .json / .csv files");
  add("--input-dir", "default"_a = ".", "help"_a = "directory to scan when no files are given");
  add("--output-dir",
      "help"_a = "where the result and its sidecar go (default: the current directory)");
  add("--output-json", "default"_a = host_str(c::DEFAULT_OUTPUT_JSON),
      "help"_a = "the result's file name (default: %(default)s); - writes the result to "
                 "standard output, and the sidecar only when --output-dir is given");
  add("--gzip", "action"_a = "store_true", "help"_a = "gzip the output");
  add("--no-provenance", "action"_a = "store_true");
  add("--no-recover", "action"_a = "store_true",
      "help"_a = "do not recover genes PharmCAT dropped");
  add("--genes", "nargs"_a = "*", "help"_a = "restrict output to these genes");
  add("--phenotype-source",
      "help"_a = "preferred PharmCAT phenotype source (CPIC or DPWG). Falls back to the other "
                 "source for genes the chosen one does not give a usable phenotype for. Defaults "
                 "to CPIC.");
  add("--sample", "help"_a =
                      "the sample to convert when the inputs name several; files naming another "
                      "sample contribute nothing");
  add("--outside-calls", "metavar"_a = "FILE",
      "help"_a = "also write the results as a PharmCAT outside-call file (the genes PharmCAT "
                 "takes and did not call itself)");
  add("--log-level", "default"_a = "INFO");
  command.attr("add_version_option")(parser, host_str(package_version()));
  return parser;
}

// The standard level names; anything else is INFO.
int log_level(nb::handle logging, const std::string &name) {
  for (const char *known :
       {"CRITICAL", "FATAL", "ERROR", "WARNING", "WARN", "INFO", "DEBUG", "NOTSET"})
    if (name == known)
      return nb::cast<int>(logging.attr(known));
  return nb::cast<int>(logging.attr("INFO"));
}

// The endings of input files, compressed and archived ones too: never a gene symbol.
constexpr std::string_view FILE_ENDINGS[] = {".json", ".tsv", ".csv", ".gz", ".zip"};

// A --genes value that is a file's name was meant as an input (argparse gives --genes every
// word up to the next option): a usage error, never a gene that no input has.
void check_gene_symbols(nb::handle parser, nb::handle genes) {
  for (nb::handle gene : genes) {
    const std::string value = nb::cast<std::string>(gene);
    const std::string lowered = text::lower(value);
    const bool file_like = io::exists(value) || std::ranges::any_of(FILE_ENDINGS, [&](auto ending) {
                             return lowered.ends_with(ending);
                           });
    if (file_like)
      parser.attr("error")(host_str("--genes takes gene symbols, and " + text::quoted(value) +
                                    " is a file name: put input files before --genes, or after "
                                    "--"));
  }
}

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
  nb::list list;
  for (GeneOutcome &result : results)
    list.append(nb::cast(std::move(result)));
  nb::module_::import_("OrvellePgxParser.outside_calls")
      .attr("write_outside_calls")(host_str(path), list);
}

} // namespace

void from_cli() {
  nb::object command = nb::module_::import_("OrvellePgxParser._command");
  nb::object parser = command_parser(command);
  nb::object args = parser.attr("parse_args")();
  if (nb::object genes = args.attr("genes"); !genes.is_none())
    check_gene_symbols(parser, genes);
  const bool to_standard_output =
      nb::cast<std::string>(args.attr("output_json")) == STANDARD_OUTPUT;
  if (to_standard_output && nb::cast<bool>(args.attr("gzip")))
    parser.attr("error")(host_str("--gzip cannot be used with --output-json -: standard output "
                                  "takes the indented JSON"));

  nb::object logging = nb::module_::import_("logging");
  std::string level = nb::cast<std::string>(nb::str(args.attr("log_level")).attr("upper")());
  // basicConfig leaves a host's own logging set-up as it is.
  logging.attr("basicConfig")("level"_a = log_level(logging, level),
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
