// bindings/hostcompat/csv.cpp: the core's csv reader, DictReader and Sniffer, giving what the
// host's csv.reader, csv.DictReader and csv.Sniffer().sniff give, for differential tests.
#include "hostcompat/hostcompat.h"
#include "support/csv_rows.h"

#include "orvelle/csv/reader.h"
#include "orvelle/csv/sniffer.h"

#include <string>
#include <vector>

namespace orvelle::bind {
namespace {

nb::list csv_rows(const std::string &text, char delimiter, char quotechar, bool doublequote,
                  bool skipinitialspace) {
  csv::Reader reader(text, {delimiter, quotechar, doublequote, skipinitialspace});
  nb::list rows;
  std::vector<std::string> row;
  while (reader.next(row))
    rows.append(nb::cast(row));
  return rows;
}

nb::tuple csv_dict_rows(const std::string &text, char delimiter, char quotechar, bool doublequote,
                        bool skipinitialspace) {
  csv::Reader reader(text, {delimiter, quotechar, doublequote, skipinitialspace});
  csv::DictReader dict_reader(reader);
  nb::object fieldnames = nb::cast(dict_reader.fieldnames());
  nb::list rows;
  csv::DictRow row;
  while (dict_reader.next(row))
    rows.append(to_python(row));
  return nb::make_tuple(fieldnames, rows);
}

/// The number of rows, without building host objects: times the core reader alone.
std::size_t csv_scan(const std::string &text, char delimiter, char quotechar, bool doublequote,
                     bool skipinitialspace) {
  csv::Reader reader(text, {delimiter, quotechar, doublequote, skipinitialspace});
  std::vector<std::string> row;
  std::size_t rows = 0;
  while (reader.next(row))
    ++rows;
  return rows;
}

nb::object csv_sniff(const std::string &sample, const std::string &delimiters) {
  std::optional<csv::Dialect> dialect = csv::sniff(sample, delimiters);
  if (!dialect)
    return nb::none();
  return nb::make_tuple(dialect->delimiter, dialect->quotechar, dialect->doublequote,
                        dialect->skipinitialspace);
}

} // namespace

void init_csv(nb::module_ &m) {
  using namespace nb::literals;
  // The reader functions take the host reader's dialect keywords, with its defaults.
  auto def = [&m](const char *name, auto function, const char *doc) {
    m.def(name, function, "text"_a, "delimiter"_a = ',', "quotechar"_a = '"',
          "doublequote"_a = true, "skipinitialspace"_a = false, doc);
  };
  def("csv_rows", &csv_rows, "list(csv.reader(io.StringIO(text, newline=''), dialect)).");
  def("csv_dict_rows", &csv_dict_rows,
      "(fieldnames, rows) of csv.DictReader over the same reader; extra cells under None.");
  def("csv_scan", &csv_scan, "The number of rows the core reader reads, for benchmarks.");
  m.def("csv_sniff", &csv_sniff, "sample"_a, "delimiters"_a,
        "csv.Sniffer().sniff(sample, delimiters) as (delimiter, quotechar, doublequote, "
        "skipinitialspace), or None where it raises 'Could not determine delimiter'.");
}

} // namespace orvelle::bind
