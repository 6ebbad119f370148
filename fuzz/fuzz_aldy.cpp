// fuzz/fuzz_aldy.cpp: the Aldy reader on any file content.
#include "fuzz_support.h"

#include "orvelle/readers/aldy_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  AldyReader reader(fuzz::write_input("S1.CYP2D6.aldy", data, size));
  fuzz::parse_and_check(reader);
  return 0;
}
