// bindings/support/reader_class.h: what every concrete reader class shares in the bindings.
#pragma once

#include "support/nb.h"
#include "support/path.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvelle::bind {

/// Imports the reader base module, so concrete readers can name IPgxReader as their base.
inline void import_reader_base() { nb::module_::import_("OrvellePgxParser.Parsers.IPgxReader"); }

/// The constructor every reader shares: the path alone, a str or os.PathLike (None reads as
/// an empty path, which the base refuses with its own message).
template <typename Reader, typename Class> void def_reader_init(Class &cls) {
  cls.def(
      "__init__",
      [](Reader *self, nb::handle file_path) { new (self) Reader(file_path_argument(file_path)); },
      nb::arg("file_path").none());
}

/// The constructor of a reader of files that may hold several samples: the path, and the
/// sample to take (take_sample) when given; `doc` says what taking it reads.
template <typename Reader, typename Class>
void def_sample_reader_init(Class &cls, const char *doc) {
  cls.def(
      "__init__",
      [](Reader *self, nb::handle file_path, std::optional<std::string> sample) {
        new (self) Reader(file_path_argument(file_path));
        if (sample)
          self->take_sample(std::move(sample));
      },
      nb::arg("file_path").none(), nb::arg("sample").none() = nb::none(), doc);
}

/// parse() of a reader that fills its calls one by one: each is filled straight into a new
/// host object, so a large table's calls are never all held twice.
template <typename Reader, typename Class> void def_streaming_parse(Class &cls) {
  cls.def("parse", [](Reader &self) {
    nb::list calls;
    self.read_calls([&calls]() -> RawCall & {
      nb::object object = nb::steal(new_raw_call());
      if (!object.is_valid() || PyList_Append(calls.ptr(), object.ptr()) != 0)
        throw nb::python_error();
      return reinterpret_cast<RawCallObject *>(object.ptr())->call; // the list keeps it
    });
    return calls;
  });
}

/// Sets the class attribute `source_name`, read from the class or any instance.
template <typename Class> void set_source_name(Class &cls, std::string_view name) {
  cls.attr("source_name") = host_str(name);
}

/// A tuple of texts, for class attributes such as column lists.
template <typename Texts> nb::tuple text_tuple(const Texts &texts) {
  nb::list list;
  for (std::string_view text : texts)
    list.append(host_str(text));
  return nb::tuple(list);
}

} // namespace orvelle::bind
