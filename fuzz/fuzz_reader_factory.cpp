// fuzz/fuzz_reader_factory.cpp: the factory's choice by content (a JSON document by its keys
// and shape, a TSV table by its first rows, a zip by its members) and then the chosen reader,
// on any file content; and the folder scan's question whether to leave the file out.
#include "fuzz_support.h"

#include "orvelle/readers/pgx_reader_factory.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  for (const char *name : {"results.json", "results.tsv", "results.zip"}) {
    const std::string path = fuzz::write_input(name, data, size);
    fuzz::allowing_content_errors([&] { PgxReaderFactory::left_out(path); });
    std::unique_ptr<IPgxReader> reader;
    // Sniffing a JSON file that is not UTF-8 fails as reading it would.
    if (!fuzz::allowing_content_errors([&] { reader = PgxReaderFactory::reader_for(path); }))
      continue;
    fuzz::check(reader != nullptr, "no reader for a supported name");
    fuzz::parse_and_check(*reader);
  }
  return 0;
}
