// fuzz/fuzz_pharmcat_json.cpp: the PharmCAT report reader (the phenotype reader's parse with
// the versions on top) on any file content.
#include "fuzz_support.h"

#include "orvelle/readers/pharmcat_json_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  PharmcatReportJsonReader reader(fuzz::write_input("sample.pharmcat.report.json", data, size));
  fuzz::parse_and_check(reader);
  fuzz::allowing_content_errors([&] {
    std::optional<json::Document> versions = reader.read_versions();
    fuzz::check(versions.has_value(), "a report without versions");
    fuzz::check(versions->root().size() == PharmcatReportJsonReader::VERSION_KEYS.size(),
                "versions without one member per key");
  });
  return 0;
}
