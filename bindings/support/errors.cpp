// bindings/support/errors.cpp: the one place where core failures become host exceptions.
//
//   orvelle::InvalidJsonFile       -> ValueError, chained (__cause__) to json.JSONDecodeError
//   orvelle::json::SyntaxError     -> json.JSONDecodeError
//   orvelle::ValueError            -> ValueError
//   orvelle::FileNotFound          -> FileNotFoundError (the core's own message)
//   orvelle::OsError               -> the OSError subclass of its errno, with the file name
//   orvelle::UnicodeDecodeFailure  -> UnicodeDecodeError, exactly as the host's decoder says
//   orvelle::CsvError              -> csv.Error
#include "support/errors.h"

#include "orvelle/errors.h"

#include <cerrno>
#include <string>

namespace orvelle::bind {
namespace {

nb::object decode_error_object(const json::SyntaxError &error, const std::string *document) {
  nb::object type = nb::module_::import_("json").attr("JSONDecodeError");
  // Set the attributes directly: the core already knows the position in characters, the
  // line and the column, and the host's constructor would recount them.
  nb::object exc = type.attr("__new__")(type);
  nb::handle(PyExc_ValueError).attr("__init__")(exc, host_str(error.what()));
  exc.attr("msg") = host_str(error.msg());
  exc.attr("doc") = document != nullptr ? host_str(*document) : host_str("");
  exc.attr("pos") = error.pos();
  exc.attr("lineno") = error.line();
  exc.attr("colno") = error.column();
  return exc;
}

void raise_object(nb::handle exc) {
  PyErr_SetObject(reinterpret_cast<PyObject *>(Py_TYPE(exc.ptr())), exc.ptr());
}

void raise_decode_failure(const UnicodeDecodeFailure &error) {
  const std::string &data = error.data();
  PyObject *decoded =
      PyUnicode_DecodeUTF8(data.data(), static_cast<Py_ssize_t>(data.size()), "strict");
  if (decoded == nullptr)
    return; // the host's own UnicodeDecodeError is set
  Py_DECREF(decoded);
  PyObject *exc =
      PyUnicodeDecodeError_Create("utf-8", data.data(), static_cast<Py_ssize_t>(data.size()),
                                  static_cast<Py_ssize_t>(error.start()),
                                  static_cast<Py_ssize_t>(error.end()), error.reason().c_str());
  if (exc != nullptr) {
    PyErr_SetObject(PyExc_UnicodeDecodeError, exc);
    Py_DECREF(exc);
  }
}

void translate(const std::exception_ptr &failure, void *) {
  try {
    std::rethrow_exception(failure);
  } catch (const InvalidJsonFile &error) {
    nb::object exc = nb::handle(PyExc_ValueError)(host_str(error.what()));
    nb::object cause = decode_error_object(error.cause(), &error.text());
    PyException_SetCause(exc.ptr(), cause.release().ptr());
    raise_object(exc);
  } catch (const json::SyntaxError &error) {
    raise_object(decode_error_object(error, nullptr));
  } catch (const ValueError &error) {
    PyErr_SetObject(PyExc_ValueError, host_str(error.what()).ptr());
  } catch (const FileNotFound &error) {
    PyErr_SetObject(PyExc_FileNotFoundError, host_str(error.what()).ptr());
  } catch (const OsError &error) {
    nb::object filename = host_str(error.filename());
    errno = error.code();
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, filename.ptr());
  } catch (const UnicodeDecodeFailure &error) {
    raise_decode_failure(error);
  } catch (const CsvError &error) {
    nb::object type = nb::module_::import_("_csv").attr("Error");
    PyErr_SetObject(type.ptr(), host_str(error.what()).ptr());
  }
}

} // namespace

void register_error_translator() { nb::register_exception_translator(translate); }

} // namespace orvelle::bind
