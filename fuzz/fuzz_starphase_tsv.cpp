// fuzz/fuzz_starphase_tsv.cpp: the pbStarPhase diplotype table reader on any file content.
#include "fuzz_support.h"

#include "orvelle/readers/starphase_tsv_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  StarPhaseTsvReader reader(fuzz::write_input("sample.pbstarphase.tsv", data, size));
  fuzz::parse_and_check(reader);
  return 0;
}
