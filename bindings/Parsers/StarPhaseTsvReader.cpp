// bindings/Parsers/StarPhaseTsvReader.cpp: the pbStarPhase diplotype TSV reader.
#include "support/import_runtime.h"
#include "support/reader_class.h"

#include "orvelle/readers/starphase_tsv_reader.h"

using orvelle::IPgxReader;
using orvelle::StarPhaseTsvReader;
namespace bind = orvelle::bind;

NB_MODULE(StarPhaseTsvReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<StarPhaseTsvReader, IPgxReader> cls(m, "StarPhaseTsvReader",
                                                 "Reads <sample>.pbstarphase.tsv.");
  bind::set_source_name(cls, StarPhaseTsvReader::SOURCE_NAME);
  bind::def_reader_init<StarPhaseTsvReader>(cls);
  cls.def("parse", &StarPhaseTsvReader::parse);
}
