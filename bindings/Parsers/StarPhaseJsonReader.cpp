// bindings/Parsers/StarPhaseJsonReader.cpp: the pbStarPhase summary JSON reader.
#include "support/import_runtime.h"
#include "support/json_convert.h"
#include "support/reader_class.h"

#include "orvelle/readers/starphase_json_reader.h"

using orvelle::IPgxReader;
using orvelle::StarPhaseJsonReader;
namespace bind = orvelle::bind;

NB_MODULE(StarPhaseJsonReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<StarPhaseJsonReader, IPgxReader> cls(
      m, "StarPhaseJsonReader", "Reads <sample>.pbstarphase.json, with its versions.");
  bind::set_source_name(cls, StarPhaseJsonReader::SOURCE_NAME);
  bind::def_reader_init<StarPhaseJsonReader>(cls);
  cls.def("parse", &StarPhaseJsonReader::parse)
      .def("read_versions", [](const StarPhaseJsonReader &self) {
        return bind::to_python(self.read_versions()->root());
      });
}
