// bindings/Models/RawCall.cpp: the raw call record; immutable from the host.
//
// A plain host type rather than a bound class, so that a reader's hundred thousand calls are
// cheap to hand over (see support/raw_call_object.h); its fields are read as host objects each
// time, as a bound class's read-only fields are.
#include "support/import_runtime.h"
#include "support/nb.h"

#include "orvelle/text/host_text.h"

#include <array>
#include <functional>
#include <string_view>

using orvelle::RawCall;
using orvelle::bind::RawCallObject;
using orvelle::text::quoted_or_none;

namespace {

using Opt = std::optional<std::string>;

RawCall &call_of(PyObject *self) { return reinterpret_cast<RawCallObject *>(self)->call; }

// The named fields, in the constructor's order; `gene` alone is required.
constexpr std::array<const char *, 10> FIELD_NAMES = {
    "gene",           "diplotype", "haplotypes",
    "phenotypes",     "source",    "phenotype_source",
    "activity_score", "warnings",  "ambiguous_phenotype",
    "caveats"};

// Takes `value` into `out` with nanobind's casters; false (TypeError set) when it does not fit.
template <typename T> bool take(const char *name, PyObject *value, const char *expected, T &out) {
  if (nb::try_cast(nb::handle(value), out))
    return true;
  PyErr_Format(PyExc_TypeError, "RawCall() argument '%s' must be %s, not %s", name, expected,
               Py_TYPE(value)->tp_name);
  return false;
}

bool take_field(RawCall &call, std::size_t field, PyObject *value) {
  const char *name = FIELD_NAMES[field];
  // The fields that are optional texts, by field number.
  std::optional<std::string> *const optional_texts[] = {nullptr,
                                                        &call.diplotype,
                                                        nullptr,
                                                        nullptr,
                                                        &call.source,
                                                        &call.phenotype_source,
                                                        &call.activity_score,
                                                        nullptr,
                                                        nullptr,
                                                        nullptr};
  switch (field) {
  case 0:
    return take(name, value, "str", call.gene);
  case 2:
    return take(name, value, "a sequence of str", call.haplotypes);
  case 3:
    return take(name, value, "a sequence of str or None", call.phenotypes);
  case 7:
    return take(name, value, "a sequence of str", call.warnings);
  case 8:
    return take(name, value, "bool", call.ambiguous_phenotype);
  case 9:
    return take(name, value, "a sequence of str", call.caveats);
  default:
    return take(name, value, "str or None", *optional_texts[field]);
  }
}

// RawCall(*, gene, diplotype=None, haplotypes=[], phenotypes=[], source=None,
// phenotype_source=None, activity_score=None, warnings=[], ambiguous_phenotype=False,
// caveats=[]), with the host's own wording for misuse.
PyObject *raw_call_new(PyTypeObject *type, PyObject *args, PyObject *kwargs) {
  if (Py_ssize_t given = PyTuple_GET_SIZE(args); given > 0)
    return PyErr_Format(PyExc_TypeError, "RawCall() takes 0 positional arguments but %zd %s given",
                        given, given == 1 ? "was" : "were");
  try {
    RawCall call;
    bool has_gene = false;
    Py_ssize_t pos = 0;
    PyObject *key = nullptr, *value = nullptr;
    while (kwargs != nullptr && PyDict_Next(kwargs, &pos, &key, &value)) {
      std::size_t field = 0;
      while (field < FIELD_NAMES.size() &&
             PyUnicode_CompareWithASCIIString(key, FIELD_NAMES[field]) != 0)
        ++field;
      if (field == FIELD_NAMES.size())
        return PyErr_Format(PyExc_TypeError, "RawCall() got an unexpected keyword argument '%U'",
                            key);
      if (!take_field(call, field, value))
        return nullptr;
      has_gene = has_gene || field == 0;
    }
    if (!has_gene)
      return PyErr_Format(PyExc_TypeError,
                          "RawCall() missing 1 required keyword-only argument: 'gene'");
    PyObject *self = type->tp_alloc(type, 0);
    if (self != nullptr)
      new (&call_of(self)) RawCall(std::move(call));
    return self;
  } catch (const std::bad_alloc &) {
    return PyErr_NoMemory();
  }
}

// RawCall objects come and go by the hundred thousand, one per row of a large table. The
// object allocator hands its emptied arenas back to the system, so every table read after
// the first faults all their pages in again; the C allocator keeps freed memory for reuse.
// Free-threaded builds require every object to come from the object allocator.
PyObject *raw_call_alloc(PyTypeObject *type, Py_ssize_t) {
#ifdef Py_GIL_DISABLED
  return PyType_GenericAlloc(type, 0);
#else
  // Not zeroed: whoever allocates constructs the record at once.
  void *memory = PyMem_RawMalloc(static_cast<std::size_t>(type->tp_basicsize));
  if (memory == nullptr)
    return PyErr_NoMemory();
  return PyObject_Init(static_cast<PyObject *>(memory), type);
#endif
}

void raw_call_free(void *object) {
#ifdef Py_GIL_DISABLED
  PyObject_Free(object);
#else
  PyMem_RawFree(object);
#endif
}

void raw_call_dealloc(PyObject *self) {
  PyTypeObject *type = Py_TYPE(self);
  call_of(self).~RawCall();
  type->tp_free(self);
  Py_DECREF(type); // instances of a heap type hold a reference to it
}

// A field as a new host object each time it is read.
template <auto Field> PyObject *get_field(PyObject *self, void *) {
  using T = std::remove_cvref_t<decltype(call_of(self).*Field)>;
  return nb::detail::make_caster<T>::from_cpp(call_of(self).*Field, nb::rv_policy::copy, nullptr)
      .ptr();
}

template <typename Texts> std::string quoted_list(const Texts &texts) {
  std::string out = "[";
  for (const auto &text : texts)
    out += (out.size() > 1 ? ", " : "") + quoted_or_none(text);
  return out + "]";
}

PyObject *raw_call_repr(PyObject *self) {
  try {
    const RawCall &call = call_of(self);
    const std::string text =
        "RawCall(gene=" + quoted_or_none(call.gene) +
        ", diplotype=" + quoted_or_none(call.diplotype) +
        ", haplotypes=" + quoted_list(call.haplotypes) +
        ", phenotypes=" + quoted_list(call.phenotypes) + ", source=" + quoted_or_none(call.source) +
        ", phenotype_source=" + quoted_or_none(call.phenotype_source) +
        ", activity_score=" + quoted_or_none(call.activity_score) +
        // Only a call that carries warnings shows them, so the common repr stays short.
        (call.warnings.empty() ? std::string() : ", warnings=" + quoted_list(call.warnings)) +
        (call.ambiguous_phenotype ? ", ambiguous_phenotype=True" : "") +
        (call.caveats.empty() ? std::string() : ", caveats=" + quoted_list(call.caveats)) + ")";
    return orvelle::bind::new_str(text);
  } catch (const std::bad_alloc &) {
    return PyErr_NoMemory();
  }
}

PyObject *raw_call_richcompare(PyObject *self, PyObject *other, int op) {
  const RawCall *theirs = orvelle::bind::raw_call_of(other);
  if (theirs == nullptr || (op != Py_EQ && op != Py_NE))
    Py_RETURN_NOTIMPLEMENTED;
  return PyBool_FromLong((call_of(self) == *theirs) == (op == Py_EQ));
}

// Equal records hash alike: the hash is taken over the fields.
Py_hash_t raw_call_hash(PyObject *self) {
  const RawCall &call = call_of(self);
  std::size_t hash = 0;
  auto mix = [&hash](const Opt &text) {
    const std::size_t part = text ? std::hash<std::string>{}(*text) : 0x9e3779b97f4a7c15u;
    hash = (hash ^ part) * 0x100000001b3u;
  };
  mix(call.gene);
  mix(call.diplotype);
  for (const std::string &haplotype : call.haplotypes)
    mix(haplotype);
  mix(Opt("/")); // where the haplotypes end and the phenotypes begin
  for (const Opt &phenotype : call.phenotypes)
    mix(phenotype);
  mix(call.source);
  mix(call.phenotype_source);
  mix(call.activity_score);
  for (const std::string &warning : call.warnings)
    mix(warning);
  if (call.ambiguous_phenotype)
    mix(Opt("ambiguous"));
  for (const std::string &caveat : call.caveats)
    mix(caveat);
  const auto result = static_cast<Py_hash_t>(hash);
  return result == -1 ? -2 : result; // -1 means an error to the host
}

PyGetSetDef FIELDS[] = {
    {"gene", get_field<&RawCall::gene>, nullptr, nullptr, nullptr},
    {"diplotype", get_field<&RawCall::diplotype>, nullptr, nullptr, nullptr},
    {"haplotypes", get_field<&RawCall::haplotypes>, nullptr, nullptr, nullptr},
    {"phenotypes", get_field<&RawCall::phenotypes>, nullptr, nullptr, nullptr},
    {"source", get_field<&RawCall::source>, nullptr, nullptr, nullptr},
    {"phenotype_source", get_field<&RawCall::phenotype_source>, nullptr, nullptr, nullptr},
    {"activity_score", get_field<&RawCall::activity_score>, nullptr, nullptr, nullptr},
    {"warnings", get_field<&RawCall::warnings>, nullptr, nullptr, nullptr},
    {"ambiguous_phenotype", get_field<&RawCall::ambiguous_phenotype>, nullptr, nullptr, nullptr},
    {"caveats", get_field<&RawCall::caveats>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr}};

PyType_Slot SLOTS[] = {
    {Py_tp_doc, const_cast<char *>("RawCall(*, gene, diplotype=None, haplotypes=[], phenotypes=[], "
                                   "source=None, phenotype_source=None, activity_score=None, "
                                   "warnings=[], ambiguous_phenotype=False, caveats=[])\n"
                                   "--\n\n"
                                   "One gene call exactly as a reader found it.")},
    {Py_tp_new, reinterpret_cast<void *>(raw_call_new)},
    {Py_tp_alloc, reinterpret_cast<void *>(raw_call_alloc)},
    {Py_tp_free, reinterpret_cast<void *>(raw_call_free)},
    {Py_tp_dealloc, reinterpret_cast<void *>(raw_call_dealloc)},
    {Py_tp_repr, reinterpret_cast<void *>(raw_call_repr)},
    {Py_tp_richcompare, reinterpret_cast<void *>(raw_call_richcompare)},
    {Py_tp_hash, reinterpret_cast<void *>(raw_call_hash)},
    {Py_tp_getset, FIELDS},
    {0, nullptr}};

PyType_Spec SPEC = {"OrvellePgxParser.Models.RawCall.RawCall", sizeof(RawCallObject), 0,
                    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE, SLOTS};

} // namespace

NB_MODULE(RawCall, m) {
  orvelle::bind::import_runtime();
  nb::object type = nb::steal(PyType_FromSpec(&SPEC));
  if (!type.is_valid())
    throw nb::python_error();
  m.attr("RawCall") = type;
}
