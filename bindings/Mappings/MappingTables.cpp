// bindings/Mappings/MappingTables.cpp: load_mapping over the core's process-wide table cache.
// At import it points the core at the package's Mappings folder, where the tables live.
#include "support/nb.h"

#include "orvelle/mappings/mapping_tables.h"

NB_MODULE(MappingTables, m) {
  orvelle::bind::import_runtime();
  nb::object package = nb::module_::import_("OrvellePgxParser.Mappings");
  orvelle::mappings::set_directory(nb::cast<std::string>(package.attr("__path__")[0]));

  m.def(
      "load_mapping",
      [](const std::string &name) {
        return orvelle::bind::to_python(orvelle::mappings::load_mapping(name)->root());
      },
      nb::arg("name"),
      "The packaged mapping table `name` as a dict (parsed once per process).");
}
