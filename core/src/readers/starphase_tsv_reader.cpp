// core/src/readers/starphase_tsv_reader.cpp: pbStarPhase's diplotype TSV read into calls.
#include "orvelle/readers/starphase_tsv_reader.h"

#include "orvelle/csv/reader.h"
#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/text/host_text.h"

#include <algorithm>

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

// The diplotype without the brackets pbStarPhase's table puts around a haplotype of several
// gene copies ("[*68 + *4]/*4"): they are the table's quoting, not part of the name. The text
// as written when no haplotype is bracketed.
std::string unbracketed(std::string_view diplotype) {
  std::string out;
  bool changed = false;
  for (std::size_t start = 0; start <= diplotype.size();) {
    std::size_t slash = std::min(diplotype.find('/', start), diplotype.size());
    std::string_view piece = diplotype.substr(start, slash - start);
    std::string_view inner = text::strip(piece);
    if (inner.size() >= 2 && inner.front() == '[' && inner.back() == ']') {
      piece = inner.substr(1, inner.size() - 2);
      changed = true;
    }
    if (start > 0)
      out += '/';
    out += piece;
    start = slash + 1;
  }
  return changed ? out : std::string(diplotype);
}

} // namespace

std::vector<RawCall> StarPhaseTsvReader::parse() {
  const std::string text = io::read_text_sig(file_path());
  csv::Reader reader(text, csv::Dialect{.delimiter = '\t'});
  std::vector<RawCall> calls;
  std::size_t known_rows = 0;
  std::vector<std::string> row;
  while (reader.next(row)) {
    if (row.empty())
      continue;
    std::string_view gene = text::strip(row[0]);
    if (gene.empty() || gene.front() == '#')
      continue;
    // Another tool's table (a sample column, a dozen columns) is no call list of this shape.
    if (std::any_of(row.begin() + std::min(row.size(), MAX_CELLS), row.end(),
                    [](const std::string &cell) { return !text::strip(cell).empty(); }))
      throw not_recognised(file_path(), EXPECTED);
    if (!keep_table_gene(gene))
      continue;
    ++known_rows;
    auto cell = [&row](std::size_t i) {
      return i < row.size() ? text::strip(row[i]) : std::string_view();
    };
    const std::string_view diplotype = cell(1), phenotype = cell(2), score = cell(3);
    if (diplotype.empty() && phenotype.empty() && score.empty()) {
      log_skip(gene, "no diplotype called");
      continue;
    }
    RawCall &call = calls.emplace_back();
    call.gene = std::string(gene);
    if (!diplotype.empty()) {
      call.diplotype = unbracketed(diplotype);
      call.haplotypes = split_haplotypes(*call.diplotype);
    }
    // A row of an activity score alone (PharmCAT's "CYP2C9, , , 2.0") offers the score to the
    // phenotype mapping as the caller's term, so it is mapped or shown as unmapped.
    if (!phenotype.empty() || !score.empty())
      call.phenotypes.emplace_back(std::in_place, phenotype.empty() ? score : phenotype);
    if (!score.empty())
      call.activity_score = std::string(score);
    call.source = std::string(source_name());
  }
  if (known_rows == 0 && !unknown_genes().empty())
    throw not_recognised(file_path(), EXPECTED);
  if (calls.empty())
    throw ValueError(file_path() + ": no usable rows");
  return calls;
}

} // namespace orvelle
