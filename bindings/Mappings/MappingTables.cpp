// bindings/Mappings/MappingTables.cpp: load_mapping over the core's process-wide table cache
// (the runtime module has pointed the core at the package's Mappings folder).
#include "support/import_runtime.h"
#include "support/json_convert.h"
#include "support/nb.h"

#include "orvelle/mappings/mapping_tables.h"

NB_MODULE(MappingTables, m) {
  orvelle::bind::import_runtime();
  m.def(
      "load_mapping",
      [](const std::string &name) {
        return orvelle::bind::to_python(orvelle::mappings::load_mapping(name)->root());
      },
      nb::arg("name"), "The packaged mapping table `name` as a dict (parsed once per process).");
}
