// core/src/json/write.cpp: placeholder until the writer lands.
#include "orvelle/json/write.h"

namespace orvelle::json {

Writer::Writer(Layout layout) : layout_(layout) {}
Writer &Writer::begin_array() { return *this; }
Writer &Writer::end_array() { return *this; }
Writer &Writer::begin_object() { return *this; }
Writer &Writer::end_object() { return *this; }
Writer &Writer::key(std::string_view) { return *this; }
Writer &Writer::null() { return *this; }
Writer &Writer::boolean(bool) { return *this; }
Writer &Writer::integer(std::int64_t) { return *this; }
Writer &Writer::big_integer(std::string_view) { return *this; }
Writer &Writer::real(double) { return *this; }
Writer &Writer::string(std::string_view) { return *this; }
Writer &Writer::value(const Value &) { return *this; }
void Writer::before_value() {}
void Writer::newline_indent(std::size_t) {}

} // namespace orvelle::json
