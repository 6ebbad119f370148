// bindings/support/path.cpp: path arguments taken as the host's os functions take them.
#include "support/path.h"

namespace orvelle::bind {

std::optional<std::string> path_text(nb::handle value) {
  PyObject *path = PyOS_FSPath(value.ptr());
  if (path == nullptr) {
    PyErr_Clear();
    return std::nullopt;
  }
  nb::object fspath = nb::steal(path);
  if (PyBytes_Check(path))
    fspath = nb::module_::import_("os").attr("fsdecode")(fspath);
  return nb::cast<std::string>(fspath);
}

std::string file_path_argument(nb::handle value) {
  if (value.is_none())
    return std::string();
  if (auto text = path_text(value))
    return *text;
  throw nb::type_error("file_path must be a path (str or os.PathLike)");
}

} // namespace orvelle::bind
