// bindings/support/log_bridge.cpp: the core's log sink, forwarding to the host's `logging`.
// The format and its arguments travel separately (a record's msg is the format, args the
// arguments), and nothing is built when the logger would drop the record.
#include "support/log_bridge.h"

#include "support/nb.h"

#include "orvelle/log.h"

#include <type_traits>

namespace orvelle::bind {
namespace {

nb::object to_python(const log::Arg &arg) {
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

class HostLogSink final : public log::Sink {
public:
  HostLogSink()
      : logger_(nb::module_::import_("logging").attr("getLogger")("OrvellePgxParser")),
        is_enabled_for_(logger_.attr("isEnabledFor")), log_(logger_.attr("log")) {}

  // The core may log from a thread that let the host's lock go: each call takes it back.
  bool enabled(log::Level level) override {
    nb::gil_scoped_acquire locked;
    return nb::cast<bool>(is_enabled_for_(static_cast<int>(level)));
  }

  void write(log::Level level, const char *format, std::span<const log::Arg> args) override {
    nb::gil_scoped_acquire locked;
    nb::list call;
    call.append(static_cast<int>(level));
    call.append(host_str(format));
    for (const log::Arg &arg : args)
      call.append(to_python(arg));
    nb::object result = nb::steal(PyObject_Call(log_.ptr(), nb::tuple(call).ptr(), nullptr));
    if (!result.is_valid())
      throw nb::python_error();
  }

private:
  nb::object logger_, is_enabled_for_, log_;
};

} // namespace

void install_log_bridge() {
  // Never destroyed: it must not release host objects after the interpreter has finished.
  static HostLogSink *sink = new HostLogSink();
  log::set_sink(sink);
}

} // namespace orvelle::bind
