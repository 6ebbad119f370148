// fuzz/fuzz_starphase_json.cpp: the pbStarPhase summary JSON reader and its versions on any
// file content.
#include "fuzz_support.h"

#include "orvelle/readers/starphase_json_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  StarPhaseJsonReader reader(fuzz::write_input("sample.pbstarphase.json", data, size));
  fuzz::parse_and_check(reader);
  fuzz::allowing_content_errors([&] {
    std::optional<json::Document> versions = reader.read_versions();
    fuzz::check(versions.has_value(), "a summary without versions");
    fuzz::check(versions->root().is_object(), "versions that are not an object");
  });
  return 0;
}
