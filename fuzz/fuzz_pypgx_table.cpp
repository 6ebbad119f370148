// fuzz/fuzz_pypgx_table.cpp: the PyPGx table reader on any file content, named like a gene's
// table so the gene may come from the file name.
#include "fuzz_support.h"

#include "orvelle/readers/pypgx_table_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::log_everything();
  PyPgxTableReader reader(fuzz::write_input("CYP2D6.tsv", data, size));
  fuzz::parse_and_check(reader);
  return 0;
}
