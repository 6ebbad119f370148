// fuzz/fuzz_gunzip.cpp: the gzip reader on any bytes, as a compressed input file and from
// memory: it either gives data within the bomb bound, with the parsers' spare room after it,
// or fails with a ValueError naming the file. And any bytes compressed come back unchanged.
#include "fuzz_support.h"

#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/io/output_file.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  const std::string path = fuzz::write_input("input.json.gz", data, size);
  try {
    const std::string inflated = io::read_file(path);
    fuzz::check(inflated.size() <= io::inflate_limit(size), "inflated past the bound");
    fuzz::check(inflated.capacity() >= inflated.size() + 64, "no spare room after the data");
    fuzz::check(io::gunzip(bytes, path, 0) == inflated, "memory and file readings differ");
  } catch (const ValueError &error) {
    fuzz::check(std::string_view(error.what()).starts_with(path + ": "),
                "a failure that does not name the file");
  }
  fuzz::check(io::gunzip(io::gzip_compress(bytes), path, 0) == bytes, "a round trip changed data");
  return 0;
}
