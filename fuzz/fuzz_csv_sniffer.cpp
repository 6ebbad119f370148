// fuzz/fuzz_csv_sniffer.cpp: the dialect sniffer on any sample, with the candidate delimiters
// the user-table reader passes, then the rows read in the dialect it settles on.
#include "fuzz_support.h"

#include "orvelle/csv/reader.h"
#include "orvelle/csv/sniffer.h"
#include "orvelle/text/utf8.h"

#include <string_view>

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  if (!fuzz::allowing_content_errors([&] { text::validate_utf8(text); }))
    return 0;
  const std::string_view sample = csv::sniff_sample(text);
  fuzz::check(text::count_code_points(sample) <= csv::SNIFF_SAMPLE_CHARS, "sample too long");
  for (std::string_view delimiters : {",;\t", ",;\t| :"}) {
    std::optional<csv::Dialect> dialect = csv::sniff(sample, delimiters);
    if (!dialect)
      continue;
    fuzz::check(delimiters.find(dialect->delimiter) != std::string_view::npos,
                "a delimiter that was not a candidate");
    csv::Reader reader(text, *dialect);
    std::vector<std::string> row;
    std::size_t calls = 0;
    for (bool more = true; more; ++calls) {
      fuzz::check(calls <= text.size() + 1, "the reader does not advance");
      fuzz::allowing_content_errors([&] { more = reader.next(row); });
    }
  }
  return 0;
}
