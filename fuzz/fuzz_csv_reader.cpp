// fuzz/fuzz_csv_reader.cpp: the CSV reader and DictReader on any text in any dialect.
// The first byte picks the dialect; the rest, when it is UTF-8, is the text.
#include "fuzz_support.h"

#include "orvelle/csv/reader.h"
#include "orvelle/text/utf8.h"

using namespace orvelle;

namespace {

csv::Dialect dialect_from(std::uint8_t bits) {
  static constexpr char delimiters[] = {',', ';', '\t', '|'};
  return csv::Dialect{.delimiter = delimiters[bits & 3],
                      .quotechar = (bits & 4) ? '\'' : '"',
                      .doublequote = (bits & 8) == 0,
                      .skipinitialspace = (bits & 16) != 0};
}

// Every row until the end; after an error the reader resumes at the next line, so the number
// of calls is bounded by the text's length.
void read_rows(std::string_view text, csv::Dialect dialect) {
  csv::Reader reader(text, dialect);
  std::vector<std::string> row;
  std::size_t calls = 0;
  for (bool more = true; more; ++calls) {
    fuzz::check(calls <= text.size() + 1, "the reader does not advance");
    fuzz::allowing_content_errors([&] { more = reader.next(row); });
  }
}

void read_dicts(std::string_view text, csv::Dialect dialect) {
  csv::Reader reader(text, dialect);
  csv::DictReader dicts(reader);
  csv::DictRow row;
  std::size_t calls = 0;
  for (bool more = true; more; ++calls) {
    fuzz::check(calls <= text.size() + 1, "the dict reader does not advance");
    fuzz::allowing_content_errors([&] {
      more = dicts.next(row);
      if (!more)
        return;
      fuzz::check(row.has_rest == !row.rest.empty(), "extra cells and their flag disagree");
      fuzz::check(row.cells.size() <= dicts.fieldnames()->size(), "more cells than names");
    });
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
  if (!fuzz::allowing_content_errors([&] { text::validate_utf8(text); }))
    return 0;
  const csv::Dialect dialect = dialect_from(data[0]);
  fuzz::reading_host().refuses_nul = (data[0] & 32) != 0;
  read_rows(text, dialect);
  read_dicts(text, dialect);
  return 0;
}
