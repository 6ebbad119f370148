// fuzz/fuzz_reader_factory.cpp: the factory's choice by content (a JSON document sniffed by
// its keys, a TSV table by its header) and then the chosen reader, on any file content.
#include "fuzz_support.h"

#include "orvelle/readers/pgx_reader_factory.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::reading_host();
  for (const char *name : {"results.json", "results.tsv"}) {
    const std::string path = fuzz::write_input(name, data, size);
    std::unique_ptr<IPgxReader> reader;
    // Sniffing a JSON file that is not UTF-8 fails as reading it would.
    if (!fuzz::allowing_content_errors([&] { reader = PgxReaderFactory::reader_for(path); }))
      continue;
    fuzz::check(reader != nullptr, "no reader for a supported name");
    fuzz::parse_and_check(*reader);
  }
  return 0;
}
