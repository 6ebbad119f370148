// bindings/support/interpreter_host.cpp: the core's host (orvelle/host.h), answered by the
// running interpreter: its `logging` for the records, its csv.Sniffer for the dialect of a
// sample (once per CSV file), its json.loads for the description of a refused JSON text (only
// on failure), and the facts of the installed package.
#include "support/interpreter_host.h"

#include "support/nb.h"
#include "support/path.h"

#include "orvelle/host.h"
#include "orvelle/io/file.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>

namespace orvelle::bind {
namespace {

nb::object log_argument(const log::Arg &arg) {
  return std::visit(
      [](const auto &value) -> nb::object {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          return nb::none();
        else
          return nb::cast(value);
      },
      arg);
}

// A one-character text of the sniffed dialect (its candidates are ASCII, as the core's are).
char ascii_char(nb::handle dialect, const char *name) {
  const std::string value = nb::cast<std::string>(dialect.attr(name));
  if (value.size() != 1 || static_cast<unsigned char>(value[0]) >= 0x80)
    throw nb::value_error(
        ("the sniffed " + std::string(name) + " is not one ASCII character").c_str());
  return value[0];
}

// The tables lie in the Mappings folder beside the package's initialiser: in the package for
// an installed one, in the source tree for an editable one.
std::string mapping_folder() {
  nb::object package = nb::module_::import_("OrvellePgxParser");
  std::optional<std::string> initialiser = path_text(package.attr("__file__"));
  if (!initialiser)
    throw nb::import_error("OrvellePgxParser has no file to find its mapping tables beside");
  return io::join(std::filesystem::path(*initialiser).parent_path().string(), "Mappings");
}

// The core asks from drivers that let the host's lock go (cohort threads): each answer that
// touches the host takes the lock back first. The host objects it keeps are released at the
// interpreter's exit (release), so none outlives the interpreter or keeps a host object alive
// past its end; records after that are dropped.
class InterpreterHost final : public host::Host {
public:
  InterpreterHost()
      : logger_(nb::module_::import_("logging").attr("getLogger")("OrvellePgxParser")),
        is_enabled_for_(logger_.attr("isEnabledFor")), log_(logger_.attr("log")),
        mapping_directory_(mapping_folder()) {}

  bool log_enabled(log::Level level) override {
    nb::gil_scoped_acquire locked;
    return is_enabled_for_.is_valid() && nb::cast<bool>(is_enabled_for_(static_cast<int>(level)));
  }

  // The format and its arguments travel separately (a record's msg is the format, args the
  // arguments), so the host formats only what a handler keeps.
  void log(log::Level level, const char *format, std::span<const log::Arg> args) override {
    nb::gil_scoped_acquire locked;
    if (!log_.is_valid())
      return;
    nb::list call;
    call.append(static_cast<int>(level));
    call.append(host_str(format));
    for (const log::Arg &arg : args)
      call.append(log_argument(arg));
    nb::object result = nb::steal(PyObject_Call(log_.ptr(), nb::tuple(call).ptr(), nullptr));
    if (!result.is_valid())
      throw nb::python_error();
  }

  // Both rules are looked up at each call, so they are the host's as it runs now.
  std::optional<csv::Dialect> sniff_csv(std::string_view sample,
                                        std::string_view delimiters) override {
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

  bool csv_refuses_nul() override { return PY_VERSION_HEX < 0x030B0000; } // NUL read from 3.11

  const std::string &mapping_directory() override { return mapping_directory_; }

  // The installed distribution's version, as importlib.metadata gives it, or "0.0.0+unknown"
  // when it is not installed (the _version module spares the start-up importlib.metadata).
  // Read on first use (the driver module's __version__ asks at its import), so the modules
  // that write no sidecar never pay for reading the distribution's metadata.
  const std::string &package_version() override {
    {
      std::lock_guard lock(version_mutex_);
      if (version_)
        return *version_;
    }
    std::string read;
    {
      nb::gil_scoped_acquire locked; // not under version_mutex_: another thread may hold both
      nb::object version = nb::module_::import_("OrvellePgxParser._version");
      read = nb::cast<std::string>(version.attr("installed_version")());
    }
    std::lock_guard lock(version_mutex_);
    if (!version_)
      version_ = std::move(read);
    return *version_;
  }

  // Called with the host's lock held, while the interpreter can still free what it drops.
  void release() {
    log_.reset();
    is_enabled_for_.reset();
    logger_.reset();
  }

private:
  nb::object logger_, is_enabled_for_, log_;
  const std::string mapping_directory_;
  std::mutex version_mutex_;
  std::optional<std::string> version_;
};

} // namespace

void install_interpreter_host() {
  // Never destroyed: the core may ask from a thread still running at exit; what it holds of
  // the host is released by the interpreter's own exit hooks instead.
  static InterpreterHost *interpreter = new InterpreterHost();
  host::install(interpreter);
  nb::module_::import_("atexit").attr("register")(nb::cpp_function([] { interpreter->release(); }));
}

} // namespace orvelle::bind
