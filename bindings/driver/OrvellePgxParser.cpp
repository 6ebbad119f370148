// bindings/driver/OrvellePgxParser.cpp: the driver module: the class OrvellePgxParser,
// __version__, _SOURCE_RANK and from_cli.
#include "driver/cli.h"
#include "driver/request.h"
#include "support/gene_result.h"
#include "support/import_runtime.h"
#include "support/json_convert.h"
#include "support/nb.h"

#include "orvelle/convert/orvelle_pgx_parser.h"

#include <nanobind/stl/set.h>
#include <nanobind/stl/unique_ptr.h>

using orvelle::GeneOutcome;
using orvelle::OrvellePgxParser;
namespace bind = orvelle::bind;

namespace {

nb::dict provenance_dict(const OrvellePgxParser &self) {
  nb::dict provenance;
  for (const auto &[key, value] : self.provenance)
    provenance[nb::cast(key)] = bind::to_python(*value.value);
  return provenance;
}

nb::object run(OrvellePgxParser &self, nb::handle return_list) {
  int wanted = PyObject_IsTrue(return_list.ptr());
  if (wanted < 0)
    throw nb::python_error();
  std::optional<std::vector<GeneOutcome>> results;
  {
    nb::gil_scoped_release unlocked; // the core's work: other threads may run meanwhile
    results = self.run(wanted == 1);
  }
  if (!results)
    return nb::none();
  nb::list payload;
  for (const GeneOutcome &result : *results)
    payload.append(bind::result_object(result));
  return payload;
}

} // namespace

NB_MODULE(OrvellePgxParser, m) {
  bind::import_runtime();

  m.attr("__version__") = bind::host_str(orvelle::package_version());
  nb::dict ranks;
  for (const auto &[caller, rank] : orvelle::caller_ranks())
    ranks[bind::host_str(caller)] = rank;
  m.attr("_SOURCE_RANK") = ranks;

  nb::class_<OrvellePgxParser> cls(m, "OrvellePgxParser",
                                   "Converts one sample's PGx caller output into Orvelle results.");
  cls.def(
         "__init__",
         [](OrvellePgxParser *self, nb::handle json_request) {
           new (self) OrvellePgxParser(bind::request_from_host(json_request));
         },
         nb::arg("json_request").none() = nb::none())
      // state
      .def_rw("input_files", &OrvellePgxParser::input_files)
      .def_rw("input_dir", &OrvellePgxParser::input_dir)
      .def_rw("output_dir", &OrvellePgxParser::output_dir)
      .def_rw("output_json", &OrvellePgxParser::output_json)
      .def_rw("gzip_output", &OrvellePgxParser::gzip_output)
      .def_rw("write_provenance", &OrvellePgxParser::write_provenance_enabled)
      .def_rw("recover_dropped_genes", &OrvellePgxParser::recover_dropped_genes)
      .def_rw("gene_filter", &OrvellePgxParser::gene_filter)
      .def_prop_ro("normalizer",
                   [](OrvellePgxParser &self) -> const orvelle::CallNormalizer & {
                     // Its class is imported when first asked for, as the results' are.
                     nb::module_::import_("OrvellePgxParser.Parsers.AlleleCallHarmonizer");
                     return self.normalizer;
                   })
      .def_rw("phenotype_source", &OrvellePgxParser::phenotype_source, nb::arg().none())
      .def_rw("sample", &OrvellePgxParser::sample, nb::arg().none())
      .def_rw("sample_label", &OrvellePgxParser::sample_label, nb::arg().none())
      .def_rw("sync_each_file", &OrvellePgxParser::sync_each_file)
      .def_ro("named_sample", &OrvellePgxParser::named_sample)
      .def_ro("failed_input", &OrvellePgxParser::failed_input)
      .def_prop_ro("provenance", &provenance_dict)
      .def_ro("dropped_genes", &OrvellePgxParser::dropped_genes)
      .def_ro("missing_genes", &OrvellePgxParser::missing_genes)
      .def_ro("unknown_genes", &OrvellePgxParser::unknown_genes)
      // the run
      .def("run", &run, nb::arg("return_list") = false)
      .def("parse_files",
           [](OrvellePgxParser &self) {
             std::vector<GeneOutcome> results;
             {
               nb::gil_scoped_release unlocked;
               results = self.parse_files();
             }
             return bind::outcome_objects(std::move(results));
           })
      .def("write_results", &OrvellePgxParser::write_results, nb::arg("results"),
           nb::call_guard<nb::gil_scoped_release>())
      .def("_resolve_input_files", &OrvellePgxParser::resolve_input_files)
      // request, preference, merge, provenance
      .def(
          "_resolve_phenotype_source",
          [](OrvellePgxParser &self, nb::handle requested) {
            return self.resolve_phenotype_source(bind::requested_source(requested));
          },
          nb::arg("requested").none())
      .def("_source_preference", &OrvellePgxParser::source_preference)
      .def(
          "_merge",
          [](OrvellePgxParser &self, const std::vector<orvelle::RawCall> &calls) {
            return bind::outcome_objects(self.merge(calls));
          },
          nb::arg("calls"))
      .def("_collect_versions", &OrvellePgxParser::collect_versions, nb::arg("parser"))
      .def("_write_provenance", &OrvellePgxParser::write_provenance, nb::arg("results"),
           nb::arg("out_path"));
  nb::list suffixes;
  for (std::string_view suffix : OrvellePgxParser::INPUT_SUFFIXES)
    suffixes.append(bind::host_str(suffix));
  cls.attr("INPUT_SUFFIXES") = nb::tuple(suffixes);

  m.def("from_cli", &bind::from_cli,
        "Runs one conversion from the command line (the command orvelle-pgx-parser).");
}
