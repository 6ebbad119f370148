// fuzz/fuzz_json_write.cpp: whatever the parser reads, the writer writes as ASCII text that
// reads back as the same tree, in both layouts.
#include "fuzz_support.h"

#include "orvelle/json/parse.h"
#include "orvelle/json/write.h"
#include "orvelle/text/utf8.h"

#include <bit>
#include <cmath>

using namespace orvelle;

namespace {

bool same_real(double a, double b) {
  if (std::isnan(a) || std::isnan(b))
    return std::isnan(a) && std::isnan(b);
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); // -0.0 too
}

bool same(const json::Value &a, const json::Value &b) {
  if (a.kind() != b.kind())
    return false;
  switch (a.kind()) {
  case json::Kind::null:
    return true;
  case json::Kind::boolean:
    return a.as_bool() == b.as_bool();
  case json::Kind::integer:
    return a.as_int() == b.as_int();
  case json::Kind::real:
    return same_real(a.as_real(), b.as_real());
  case json::Kind::big_integer:
  case json::Kind::string:
    return a.as_string() == b.as_string();
  case json::Kind::array:
    for (std::size_t i = 0; i < a.size(); ++i)
      if (i >= b.size() || !same(a.items()[i], b.items()[i]))
        return false;
    return a.size() == b.size();
  case json::Kind::object:
    for (std::size_t i = 0; i < a.size(); ++i)
      if (i >= b.size() || a.members()[i].key != b.members()[i].key ||
          !same(a.members()[i].value, b.members()[i].value))
        return false;
    return a.size() == b.size();
  }
  return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  if (!fuzz::allowing_content_errors([&] { text::validate_utf8(text); }))
    return 0;
  json::Document document;
  try {
    document = json::parse(text);
  } catch (const json::SyntaxError &) {
    return 0;
  }
  for (json::Layout layout : {json::Layout::indented, json::Layout::compact}) {
    json::Writer writer(layout);
    writer.value(document.root());
    const std::string &written = writer.text();
    for (char c : written)
      fuzz::check(static_cast<unsigned char>(c) < 0x80, "written text that is not ASCII");
    try {
      json::Document again = json::parse(written);
      fuzz::check(same(document.root(), again.root()), "written text reads back different");
    } catch (const json::SyntaxError &) {
      fuzz::fail("written text that does not parse");
    }
  }
  return 0;
}
