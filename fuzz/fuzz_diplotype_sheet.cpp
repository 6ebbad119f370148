// fuzz/fuzz_diplotype_sheet.cpp: the user Gene/Diplotype table reader on any file content,
// read both ways it can take a file: as a CSV sheet (dialect sniffed) and as a JSON document.
#include "fuzz_support.h"

#include "orvelle/readers/diplotype_sheet_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  for (const char *name : {"sample.diplotypes.csv", "sample.diplotypes.json"}) {
    DiplotypeSheetReader reader(fuzz::write_input(name, data, size));
    fuzz::parse_and_check(reader);
  }
  return 0;
}
