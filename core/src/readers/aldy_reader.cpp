// core/src/readers/aldy_reader.cpp: an Aldy .aldy file read into one call per gene; solutions
// that disagree, and the alleles Aldy made up, are kept as warnings in Aldy's words.
#include "orvelle/readers/aldy_reader.h"

#include "orvelle/csv/reader.h"
#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/text/host_text.h"

#include <algorithm>
#include <array>

namespace orvelle {
namespace {

constexpr std::array<std::string_view, 5> HEADER = {"#Sample", "Gene", "SolutionID", "Major",
                                                    "Minor"};
constexpr std::string_view SOLUTION = "#Solution ";
constexpr std::string_view CPIC = "cpic=";

// The value of "cpic=" among the "; "-separated parts after a solution's alleles; nullopt
// where Aldy has no phenotype table for the gene (and before Aldy 4.8).
std::optional<std::string> cpic_word(std::string_view line) {
  for (std::size_t start = line.find(';'); start != std::string_view::npos;) {
    const std::size_t end = std::min(line.find(';', start + 1), line.size());
    const std::string_view part = text::strip(line.substr(start + 1, end - start - 1));
    if (part.starts_with(CPIC))
      return std::string(text::strip(part.substr(CPIC.size())));
    start = end < line.size() ? end : std::string_view::npos;
  }
  return std::nullopt;
}

// The alleles of a solution line: the text before its first ";".
std::string_view alleles_of(std::string_view line) {
  return text::strip(line.substr(0, std::min(line.find(';'), line.size())));
}

// Names Aldy made for variants of database alleles ("*4NX", "*4.021X"; "*4.021.ALDY" before
// 4.8): no PharmVar name stands behind them.
std::vector<std::string_view> made_up_names(std::string_view major) {
  std::vector<std::string_view> names;
  for (std::size_t start = 0; start <= major.size();) {
    const std::size_t end = std::min(major.find_first_of("/+", start), major.size());
    const std::string_view name = text::strip(major.substr(start, end - start));
    if (name.size() > 2 && (name.back() == 'X' || name.ends_with(".ALDY")))
      names.push_back(name);
    start = end + 1;
  }
  return names;
}

} // namespace

bool AldyReader::is_aldy_table(std::span<const std::string> header) {
  return header.size() >= HEADER.size() &&
         std::equal(HEADER.begin(), HEADER.end(), header.begin(),
                    [](std::string_view name, const std::string &cell) {
                      return text::strip(cell) == name;
                    });
}

RawCall AldyReader::call_of(std::string_view gene, std::span<const Solution> solutions) {
  RawCall call;
  call.gene = gene;
  call.source = SOURCE_NAME;
  if (solutions.empty())
    return call;
  const Solution &first = solutions.front();
  const std::optional<std::string> word = cpic_word(first.line);
  const bool same_major = std::ranges::all_of(
      solutions, [&](const Solution &other) { return other.major == first.major; });
  const bool same_word = std::ranges::all_of(
      solutions, [&](const Solution &other) { return cpic_word(other.line) == word; });
  if (!same_major) {
    std::string listed;
    for (const Solution &solution : solutions)
      listed += (listed.empty() ? "" : ", ") + std::string("solution ") + solution.id + " " +
                text::quoted(solution.major);
    call.warnings.push_back("Aldy found " + std::to_string(solutions.size()) +
                            " equally good solutions: " + listed + "; no star allele is used");
  } else {
    call.diplotype = first.major;
    const std::vector<std::string_view> made_up = made_up_names(first.major);
    if (!made_up.empty())
      call.warnings.push_back("Aldy's own allele names " + text::join(", ", made_up) +
                              ": variants of database alleles, not PharmVar alleles");
  }
  for (const Solution &solution : solutions) {
    const std::string_view alleles = alleles_of(solution.line);
    if (alleles.find("+rs") != std::string_view::npos ||
        alleles.find("-rs") != std::string_view::npos)
      call.warnings.push_back("Aldy solution " + solution.id + " " + text::quoted(alleles) +
                              ": variants added to (+) or missing from (-) database alleles; "
                              "on a major allele Aldy calls that a novel star allele");
  }
  if (word && same_word)
    call.phenotypes.emplace_back(*word);
  else if (!same_word)
    call.ambiguous_phenotype = true; // solutions of different phenotypes: no Activity at all
  return call;
}

std::vector<RawCall> AldyReader::parse() {
  const std::string text = io::read_text_sig(file_path());
  csv::Reader reader(text, csv::Dialect{.delimiter = '\t'});
  std::vector<std::string> row;
  if (!reader.next(row))
    throw ValueError(file_path() + ": empty (Aldy writes nothing when it finds no solution)");
  if (!is_aldy_table(row))
    throw ValueError(file_path() + ": not an Aldy table (its header must start #Sample, Gene, "
                                   "SolutionID, Major, Minor)");
  std::vector<std::pair<std::string, std::vector<Solution>>> genes; // file order
  std::string line;                                                 // of the current solution
  while (reader.next(row)) {
    if (row.empty())
      continue;
    const std::string_view first = row[0];
    if (first.starts_with(SOLUTION)) {
      std::string joined = text::join("\t", row); // a solution line holds no tab of its own
      const std::size_t colon = joined.find(':');
      line = colon == std::string::npos
                 ? std::string()
                 : std::string(text::strip(std::string_view(joined).substr(colon + 1)));
      continue;
    }
    if (first.starts_with('#') || row.size() < HEADER.size())
      continue;
    const std::string_view sample = text::strip(row[0]);
    if (sample_ && *sample_ != sample)
      throw ValueError(file_path() + ": rows of more than one sample (" + text::quoted(*sample_) +
                       ", " + text::quoted(sample) + "); Aldy writes one sample per file");
    sample_ = sample;
    const std::string gene(text::strip(row[1]));
    auto found = std::ranges::find(genes, gene, &decltype(genes)::value_type::first);
    if (found == genes.end())
      found = genes.insert(genes.end(), {gene, {}});
    std::vector<Solution> &solutions = found->second;
    const std::string_view id = text::strip(row[2]);
    if (solutions.empty() || solutions.back().id != id)
      solutions.push_back({std::string(id), std::string(text::strip(row[3])), line});
  }
  if (genes.empty())
    throw ValueError(file_path() + ": no rows");
  std::vector<RawCall> calls;
  for (const auto &[gene, solutions] : genes)
    calls.push_back(call_of(gene, solutions));
  return calls;
}

} // namespace orvelle
