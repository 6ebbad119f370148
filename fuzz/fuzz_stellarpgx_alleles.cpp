// fuzz/fuzz_stellarpgx_alleles.cpp: the StellarPGx .alleles reader on any file content, named
// as StellarPGx names its files so the sample comes from the name; a call it makes is one
// call, and a call without a diplotype says why.
#include "fuzz_support.h"

#include "orvelle/readers/stellarpgx_alleles_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  StellarPgxAllelesReader reader(fuzz::write_input("S1_cyp2d6.alleles", data, size));
  fuzz::allowing_content_errors([&] {
    const std::vector<RawCall> calls = reader.parse();
    fuzz::check(calls.size() == 1, "not one call");
    fuzz::check(calls[0].diplotype || !calls[0].warnings.empty(), "a gap without a reason");
    (void)reader.named_sample();
  });
  return 0;
}
