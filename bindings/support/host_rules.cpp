// bindings/support/host_rules.cpp: the core's host rules, answered by the running interpreter:
// its csv.Sniffer for the dialect of a sample (once per CSV file) and its json.loads for the
// description of a refused JSON text (only on failure). Both are looked up at each call, so
// they are the host's as it runs now.
#include "support/host_rules.h"

#include "support/nb.h"

#include "orvelle/host_rules.h"
#include "orvelle/text/host_text.h"

#include <string>

namespace orvelle::bind {
namespace {

// A one-character text of the sniffed dialect (its candidates are ASCII, as the core's are).
char ascii_char(nb::handle dialect, const char *name) {
  const std::string value = nb::cast<std::string>(dialect.attr(name));
  if (value.size() != 1 || static_cast<unsigned char>(value[0]) >= 0x80)
    throw nb::value_error(
        ("the sniffed " + std::string(name) + " is not one ASCII character").c_str());
  return value[0];
}

// The core asks from a driver that let the host's lock go (cohort threads): each call takes it
// back before it touches the host.
class InterpreterRules final : public host::Rules {
public:
  std::optional<csv::Dialect> sniff(std::string_view sample, std::string_view delimiters) override {
    nb::gil_scoped_acquire locked;
    nb::module_ csv = nb::module_::import_("csv");
    nb::object dialect;
    try {
      dialect = csv.attr("Sniffer")().attr("sniff")(host_str(sample), host_str(delimiters));
    } catch (nb::python_error &error) {
      if (!error.matches(csv.attr("Error"))) // "Could not determine delimiter"
        throw;
      return std::nullopt;
    }
    return csv::Dialect{ascii_char(dialect, "delimiter"), ascii_char(dialect, "quotechar"),
                        nb::cast<bool>(dialect.attr("doublequote")),
                        nb::cast<bool>(dialect.attr("skipinitialspace"))};
  }

  std::optional<host::JsonFault> describe_json_fault(std::string_view text) override {
    nb::gil_scoped_acquire locked;
    nb::module_ json = nb::module_::import_("json");
    try {
      json.attr("loads")(host_str(text));
    } catch (nb::python_error &error) {
      if (error.matches(json.attr("JSONDecodeError"))) {
        nb::handle fault = error.value();
        return host::JsonFault{nb::cast<std::string>(fault.attr("msg")),
                               nb::cast<std::size_t>(fault.attr("pos"))};
      }
      // Another failure (a RecursionError deep down, an integer too long to convert) leaves
      // the core's description; an interruption or exit goes on.
      if (!error.matches(PyExc_Exception))
        throw;
    }
    return std::nullopt;
  }
};

} // namespace

void install_host_rules() {
  // Never destroyed, as the log sink: nothing to release after the interpreter has finished.
  static InterpreterRules *rules = new InterpreterRules();
  host::set_rules(rules);
}

void require_unicode_tables_of_this_host() {
  // The tables decide strip, lower, upper and the quoted form per character; reading them
  // afresh from a host takes seconds, so a package built for another interpreter refuses.
  nb::object version_info = nb::module_::import_("sys").attr("version_info");
  const std::string running = std::to_string(nb::cast<int>(version_info[0])) + "." +
                              std::to_string(nb::cast<int>(version_info[1]));
  const std::string running_unicode =
      nb::cast<std::string>(nb::module_::import_("unicodedata").attr("unidata_version"));
  if (running == text::unicode_tables_python() && running_unicode == text::unicode_version())
    return;
  const std::string message = "OrvellePgxParser was built for Python " +
                              std::string(text::unicode_tables_python()) + " (Unicode " +
                              std::string(text::unicode_version()) + ") and cannot run on Python " +
                              running + " (Unicode " + running_unicode +
                              "), whose string rules may differ: install it for this interpreter";
  throw nb::import_error(message.c_str());
}

} // namespace orvelle::bind
