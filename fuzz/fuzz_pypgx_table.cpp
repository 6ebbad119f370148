// fuzz/fuzz_pypgx_table.cpp: the PyPGx table reader on any file content, named like a gene's
// table so the gene may come from the file name; read whole, then as one sample's rows (the
// first row's, and one named by the input's first bytes), which are never more than the whole.
#include "fuzz_support.h"

#include "orvelle/readers/pypgx_table_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  const std::string path = fuzz::write_input("CYP2D6.tsv", data, size);
  PyPgxTableReader whole(path);
  fuzz::parse_and_check(whole);
  fuzz::check_one_sample_within_whole<PyPgxTableReader>(
      path, std::string_view(reinterpret_cast<const char *>(data), size));
  return 0;
}
