// fuzz/fuzz_cyrius.cpp: the Cyrius reader on any file content, as its TSV and as its JSON,
// whole and as one sample's call (the first's, and one named by the input's first bytes),
// which is never more than the whole.
#include "fuzz_support.h"

#include "orvelle/readers/cyrius_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  for (const char *name : {"run.tsv", "run.json"}) {
    const std::string path = fuzz::write_input(name, data, size);
    CyriusReader whole(path);
    fuzz::parse_and_check(whole);
    fuzz::check_one_sample_within_whole<CyriusReader>(
        path, std::string_view(reinterpret_cast<const char *>(data), size));
  }
  return 0;
}
