// fuzz/fuzz_pypgx_archive.cpp: the zip reader and the PyPGx archive reader on any file content:
// members never inflate past the bound, and a results archive reads as its table would.
#include "fuzz_support.h"

#include "orvelle/io/gunzip.h"
#include "orvelle/io/unzip.h"
#include "orvelle/readers/pypgx_table_reader.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  fuzz::allowing_content_errors([&] {
    std::size_t inflated = 0;
    for (const io::ZipMember &member : io::unzip(bytes, "archive.zip"))
      inflated += member.data.size();
    fuzz::check(inflated <= io::inflate_limit(size), "members inflated past the bound");
  });
  PyPgxTableReader reader(fuzz::write_input("grch37-CYP2D6-results.zip", data, size));
  reader.take_sample(std::nullopt);
  fuzz::parse_and_check(reader);
  fuzz::allowing_content_errors([&] { reader.read_versions(); });
  return 0;
}
