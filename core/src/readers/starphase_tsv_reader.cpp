// core/src/readers/starphase_tsv_reader.cpp
#include "orvelle/readers/starphase_tsv_reader.h"

#include "orvelle/csv/reader.h"
#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/text/host_text.h"

namespace orvelle {
namespace {

// The pieces of a diplotype between its "/" separators, empty pieces left out and the others
// kept as written (blanks included).
std::vector<std::string> split_haplotypes(std::string_view diplotype) {
  std::vector<std::string> pieces;
  while (!diplotype.empty()) {
    std::size_t slash = diplotype.find('/');
    std::string_view piece = diplotype.substr(0, slash);
    if (!piece.empty())
      pieces.emplace_back(piece);
    if (slash == std::string_view::npos)
      break;
    diplotype.remove_prefix(slash + 1);
  }
  return pieces;
}

} // namespace

std::vector<RawCall> StarPhaseTsvReader::parse() {
  const std::string text = io::read_text_sig(file_path());
  csv::Reader reader(text, csv::Dialect{.delimiter = '\t'});
  std::vector<RawCall> calls;
  std::vector<std::string> row;
  while (reader.next(row)) {
    if (row.empty())
      continue;
    std::string_view gene = text::strip(row[0]);
    if (gene.empty() || gene.front() == '#')
      continue;
    std::string_view diplotype = row.size() > 1 ? text::strip(row[1]) : std::string_view();
    if (diplotype.empty()) {
      log_skip(gene, "no diplotype called");
      continue;
    }
    RawCall &call = calls.emplace_back();
    call.gene = std::string(gene);
    call.diplotype = std::string(diplotype);
    call.haplotypes = split_haplotypes(diplotype);
    call.source = std::string(source_name());
  }
  if (calls.empty())
    throw ValueError(file_path() + ": no usable rows");
  return calls;
}

} // namespace orvelle
