// bench/bench_json_core.cpp: simdjson's own DOM parse of some files, the yardstick of the
// conversion's speed, beside the core's parse of the same texts and a reader's whole load.
//
//   bench_json_core [--repeat N] <file.json> ...
//
// Prints one line per figure, "<name> <milliseconds>", the best of N runs over all the files:
//   simdjson   simdjson's DOM parse of the bytes, already in memory, with one reused parser
//   simdjson_load  simdjson reading each file itself and parsing it (its parser.load)
//   parse      orvelle::json::parse of the same texts (the whole tree built)
//   on_demand  orvelle::json::parse_on_demand of the same texts (the tree left unbuilt)
//   load       reading and parsing each file as a JSON reader does
#include "orvelle/io/file.h"
#include "orvelle/json/parse.h"

#include <simdjson.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

template <typename Work> double best_ms(int repeat, Work work) {
  double best = 1e300;
  for (int i = 0; i < repeat; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

} // namespace

int main(int argc, char **argv) {
  int repeat = 20;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--repeat" && i + 1 < argc)
      repeat = std::atoi(argv[++i]);
    else
      paths.emplace_back(argv[i]);
  }
  if (paths.empty() || repeat < 1) {
    std::fprintf(stderr, "usage: %s [--repeat N] <file.json> ...\n", argv[0]);
    return 2;
  }

  std::vector<simdjson::padded_string> padded;
  std::vector<std::string> texts;
  for (const std::string &path : paths) {
    texts.push_back(orvelle::io::read_text(path));
    padded.emplace_back(texts.back());
  }

  simdjson::dom::parser parser;
  std::size_t failures = 0;
  const double simdjson_ms = best_ms(repeat, [&] {
    for (const simdjson::padded_string &text : padded) {
      simdjson::dom::element root;
      failures += parser.parse(text).get(root) != simdjson::SUCCESS;
    }
  });
  const double simdjson_load_ms = best_ms(repeat, [&] {
    for (const std::string &path : paths) {
      simdjson::dom::element root;
      failures += parser.load(path).get(root) != simdjson::SUCCESS;
    }
  });
  if (failures != 0) {
    std::fprintf(stderr, "simdjson refused one of the files\n");
    return 1;
  }
  const double parse_ms = best_ms(repeat, [&] {
    for (const std::string &text : texts)
      orvelle::json::parse(text);
  });
  const double on_demand_ms = best_ms(repeat, [&] {
    for (const std::string &text : texts)
      orvelle::json::parse_on_demand(text);
  });
  const double load_ms = best_ms(repeat, [&] {
    for (const std::string &path : paths) {
      std::string bytes = orvelle::io::read_file(path);
      orvelle::json::parse_file_text(bytes);
    }
  });
  std::printf("simdjson %.4f\nsimdjson_load %.4f\nparse %.4f\non_demand %.4f\nload %.4f\n",
              simdjson_ms, simdjson_load_ms, parse_ms, on_demand_ms, load_ms);
}
