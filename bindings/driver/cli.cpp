// bindings/driver/cli.cpp: the command `orvelle-pgx-parser`, built on the host's argparse and
// logging (called once per process, so they are used as they are, through the C API).
#include "driver/cli.h"

#include "driver/request.h"
#include "support/nb.h"

#include "orvelle/constants.h"
#include "orvelle/convert/orvelle_pgx_parser.h"
#include "orvelle/io/file.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

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
  add("--output-dir", "default"_a = ".");
  add("--output-json", "default"_a = host_str(c::DEFAULT_OUTPUT_JSON));
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
constexpr std::string_view FILE_ENDINGS[] = {".json", ".tsv", ".csv", ".alleles",
                                             ".aldy", ".gz",  ".zip"};

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

} // namespace

void from_cli() {
  nb::object command = nb::module_::import_("OrvellePgxParser._command");
  nb::object parser = command_parser(command);
  nb::object args = parser.attr("parse_args")();
  if (nb::object genes = args.attr("genes"); !genes.is_none())
    check_gene_symbols(parser, genes);

  nb::object logging = nb::module_::import_("logging");
  std::string level = nb::cast<std::string>(nb::str(args.attr("log_level")).attr("upper")());
  // basicConfig leaves a host's own logging set-up as it is.
  logging.attr("basicConfig")("level"_a = log_level(logging, level),
                              "format"_a = "%(levelname)s %(message)s");

  // Every request value is given here, so the request's own defaults never apply.
  ConversionRequest request;
  request.input_files = path_list(c::INPUT_FILES, args.attr("input_files"));
  request.input_dir = path_value(c::INPUT_DIR, args.attr("input_dir"));
  request.output_dir = path_value(c::OUTPUT_DIR, args.attr("output_dir"));
  request.output_json = path_value(c::OUTPUT_JSON, args.attr("output_json"));
  request.gzip_output = nb::cast<bool>(args.attr("gzip"));
  request.write_provenance = !nb::cast<bool>(args.attr("no_provenance"));
  request.recover_dropped_genes = !nb::cast<bool>(args.attr("no_recover"));
  if (nb::object genes = args.attr("genes"); !genes.is_none()) // an empty list: no restriction
    request.gene_filter = text_set(c::GENE_FILTER, genes);
  request.phenotype_source = requested_source(args.attr("phenotype_source"));
  if (nb::object sample = args.attr("sample"); !sample.is_none() && nb::len(sample) > 0)
    request.sample = nb::cast<std::string>(sample); // an empty name, as in a request: none

  OrvellePgxParser driver(std::move(request));
  driver.run(false);
}

} // namespace orvelle::bind
