// bindings/hostcompat/json.cpp: json.loads and json.dumps as the core does them.
#include "hostcompat/hostcompat.h"
#include "support/json_convert.h"

#include "orvelle/json/parse.h"
#include "orvelle/json/write.h"

namespace orvelle::bind {

void init_json(nb::module_ &m) {
  m.def(
      "json_loads", [](const std::string &text) { return to_python(json::parse(text).root()); },
      nb::arg("text"), "json.loads(text), read by the core's parser.");
  m.def(
      "json_dumps",
      [](nb::handle obj, bool indent) {
        json::Writer writer(indent ? json::Layout::indented : json::Layout::compact);
        return writer.value(from_python(obj).root()).take();
      },
      nb::arg("obj").none(), nb::arg("indent") = false,
      "json.dumps(obj, indent=4 if indent else None), written by the core's writer.");
}

} // namespace orvelle::bind
