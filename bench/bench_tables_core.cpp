// bench/bench_tables_core.cpp: the core alone reading tables into raw calls, each filled into
// one reused record: the part of the Python benchmark's times that is not storing the calls
// (their own memory and their host objects).
//
//   bench_tables_core <pypgx.tsv> <user.csv> [repeat]
//
// Prints one line per table: its kind, the number of calls and the best time in milliseconds.
#include "orvelle/readers/diplotype_sheet_reader.h"
#include "orvelle/readers/pypgx_table_reader.h"
#include "orvelle/testing/stand_in_host.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

template <typename Reader> void measure(const char *kind, const std::string &path, int repeat) {
  double best = 1e300;
  std::size_t calls = 0;
  for (int i = 0; i < repeat; ++i) {
    const auto start = std::chrono::steady_clock::now();
    // Every call is filled into one record, emptied each time: reading without storing.
    orvelle::RawCall record;
    calls = 0;
    Reader(path).read_calls([&]() -> orvelle::RawCall & {
      ++calls;
      record.haplotypes.clear();
      record.phenotypes.clear();
      return record;
    });
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  std::printf("%s %zu %.3f\n", kind, calls, best);
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <pypgx.tsv> <user.csv> [repeat]\n", argv[0]);
    return 2;
  }
  const int repeat = argc > 3 ? std::atoi(argv[3]) : 5;
  orvelle::testing::install_stand_in_host(); // the table's dialect is plain to guess
  measure<orvelle::PyPgxTableReader>("pypgx", argv[1], repeat);
  measure<orvelle::DiplotypeSheetReader>("user", argv[2], repeat);
}
