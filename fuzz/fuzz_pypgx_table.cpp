// fuzz/fuzz_pypgx_table.cpp: the PyPGx table reader on any file content, named like a gene's
// table so the gene may come from the file name; read whole, then as one sample's rows (the
// first row's, and one named by the input's first bytes), which are never more than the whole.
#include "fuzz_support.h"

#include "orvelle/readers/pypgx_table_reader.h"

#include <optional>

using namespace orvelle;

namespace {

std::optional<std::size_t> calls_of(PyPgxTableReader &reader) {
  std::optional<std::size_t> count;
  fuzz::allowing_content_errors([&] { count = reader.parse().size(); });
  return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  const std::string path = fuzz::write_input("CYP2D6.tsv", data, size);
  PyPgxTableReader whole(path);
  fuzz::parse_and_check(whole);

  PyPgxTableReader all(path);
  const std::optional<std::size_t> every = calls_of(all);
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  for (std::optional<std::string> sample :
       {std::optional<std::string>(), std::optional<std::string>(text.substr(0, 8))}) {
    PyPgxTableReader one(path);
    one.take_sample(sample);
    if (std::optional<std::size_t> taken = calls_of(one); taken && every)
      fuzz::check(*taken <= *every, "one sample's rows outnumber the table's");
  }
  return 0;
}
