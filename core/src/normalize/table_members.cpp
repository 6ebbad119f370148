// core/src/normalize/table_members.cpp: the places and shape errors that messages about mapping
// table members name.
#include "table_members.h"

#include "orvelle/text/host_text.h"

namespace orvelle::normalize {

std::string table_place(std::string_view table) { return "mapping table " + text::quoted(table); }

std::string member_place(std::string_view table, std::string_view member) {
  return table_place(table) + ": " + text::quoted(member);
}

std::string wrong_shape(const std::string &place, std::string_view expected,
                        const json::Value &value) {
  return place + " must be " + std::string(expected) + ", not " + text::repr(value);
}

std::string_view term_text(const json::Value &term, std::string_view table, std::string_view gene,
                           std::string_view key) {
  if (!term.is_string())
    throw ValueError(wrong_shape(table_place(table) + ": the term of " + text::quoted(gene) +
                                     " for " + text::quoted(key),
                                 "a string or null", term));
  return term.as_string();
}

} // namespace orvelle::normalize
