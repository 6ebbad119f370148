// bindings/Models/RawCall.cpp: the raw call record; immutable from the host.
#include "support/nb.h"

#include "orvelle/records/raw_call.h"

#include <nanobind/operators.h>

using orvelle::RawCall;

namespace {

std::string repr(nb::handle self) {
  const auto &call = nb::cast<const RawCall &>(self);
  auto r = [](auto &&value) { return nb::cast<std::string>(nb::repr(nb::cast(value))); };
  return "RawCall(gene=" + r(call.gene) + ", diplotype=" + r(call.diplotype) +
         ", haplotypes=" + r(call.haplotypes) + ", phenotypes=" + r(call.phenotypes) +
         ", source=" + r(call.source) + ", phenotype_source=" + r(call.phenotype_source) +
         ", activity_score=" + r(call.activity_score) + ")";
}

} // namespace

NB_MODULE(RawCall, m) {
  orvelle::bind::import_runtime();
  using Opt = std::optional<std::string>;

  nb::class_<RawCall>(m, "RawCall", "One gene call exactly as a reader found it.")
      .def(
          "__init__",
          [](RawCall *self, std::string gene, Opt diplotype, std::vector<std::string> haplotypes,
             std::vector<Opt> phenotypes, Opt source, Opt phenotype_source, Opt activity_score) {
            new (self)
                RawCall{std::move(gene),          std::move(diplotype), std::move(haplotypes),
                        std::move(phenotypes),    std::move(source),    std::move(phenotype_source),
                        std::move(activity_score)};
          },
          nb::kw_only(), nb::arg("gene"), nb::arg("diplotype").none() = nb::none(),
          nb::arg("haplotypes") = std::vector<std::string>(),
          nb::arg("phenotypes") = std::vector<Opt>(), nb::arg("source").none() = nb::none(),
          nb::arg("phenotype_source").none() = nb::none(),
          nb::arg("activity_score").none() = nb::none())
      // fields: read-only
      .def_ro("gene", &RawCall::gene)
      .def_ro("diplotype", &RawCall::diplotype)
      .def_ro("haplotypes", &RawCall::haplotypes)
      .def_ro("phenotypes", &RawCall::phenotypes)
      .def_ro("source", &RawCall::source)
      .def_ro("phenotype_source", &RawCall::phenotype_source)
      .def_ro("activity_score", &RawCall::activity_score)
      // dunders
      .def(nb::self == nb::self)
      .def("__repr__", &repr);
}
