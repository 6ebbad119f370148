// fuzz/fuzz_json_write.cpp: whatever the parser reads, the writer writes as ASCII text that
// reads back as the same tree, in both layouts.
#include "fuzz_support.h"

#include "orvelle/testing/json_same.h"

#include "orvelle/json/parse.h"
#include "orvelle/json/write.h"
#include "orvelle/text/utf8.h"

using namespace orvelle;

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
      fuzz::check(json::same_tree(document.root(), again.root()),
                  "written text reads back different");
    } catch (const json::SyntaxError &) {
      fuzz::fail("written text that does not parse");
    }
  }
  return 0;
}
