// core/src/readers/stellarpgx_summary_reader.cpp: StellarPGx's cohort summary read into one call
// per sample, each result read as its .alleles report's is, the gene from the file's name or
// folder.
#include "orvelle/readers/stellarpgx_summary_reader.h"

#include "sample_rows.h"
#include "stellarpgx_result.h"
#include "table_head.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/readers/known_genes.h"
#include "orvelle/text/host_text.h"

#include <algorithm>
#include <filesystem>

namespace orvelle {
namespace {

constexpr std::string_view NO_CALL = "No_call";
// StellarPGx's notes all begin so; the summary gathers every report line that does.
constexpr std::string_view POSSIBLE = "Possible";
// A sample, its result, and up to two notes (a note beside the Result, a "Possible" line).
constexpr std::size_t MOST_CELLS = 4;
constexpr std::string_view NOT_A_SUMMARY =
    "not a StellarPGx cohort summary, the only .txt file this converter reads";
constexpr std::string_view NAME_THE_GENE =
    "name the summary's one gene in its file name (run1_cyp2d6_summary.txt)";

// A line's cells, trimmed, without those that repeat an earlier cell (a report line holding
// both a star allele and "Possible" is gathered twice) and without the empty ones at its end.
template <typename Cells> std::vector<std::string_view> cells_of(const Cells &written) {
  std::vector<std::string_view> cells;
  for (std::string_view cell : written) {
    cell = text::strip(cell);
    if (cell.empty() || std::ranges::find(cells, cell) == cells.end())
      cells.push_back(cell);
  }
  while (!cells.empty() && cells.back().empty())
    cells.pop_back();
  return cells;
}

// What StellarPGx writes as a Result in the summary's second cell: a diplotype (several joined
// by " or "), No_call, or the bracketed guess it prints beside a possible novel allele.
bool is_result(std::string_view cell) {
  if (cell == NO_CALL)
    return true;
  if (cell.starts_with('['))
    return cell.ends_with(']') && cell.find('*') != std::string_view::npos;
  return cell.starts_with('*') && cell.find('/') != std::string_view::npos;
}

enum class Line { sample, going_on, other };

// A sample's line, or one going on with the sample above it (a further report line: a Result,
// a bracketed guess or a "Possible" note, as no sample name starts), or neither.
Line line_kind(const std::vector<std::string_view> &cells) {
  const std::string_view first = cells.front();
  if (first.empty() || first.starts_with(POSSIBLE) || first.starts_with('[') ||
      first.starts_with('*'))
    return Line::going_on;
  if (cells.size() >= 2 && cells.size() <= MOST_CELLS && !first.starts_with('#') &&
      known_gene(first).empty() && is_result(cells[1]))
    return Line::sample;
  return Line::other;
}

// A cell of a sample's lines: a Result (a star allele or No_call) or a note.
void add(stellarpgx::Said &said, std::string_view cell) {
  if (cell.empty())
    return;
  const bool answer =
      cell == NO_CALL || (cell.find('*') != std::string_view::npos && !cell.starts_with(POSSIBLE));
  std::vector<std::string_view> &kind = answer ? said.answers : said.notes;
  if (std::ranges::find(kind, cell) == kind.end())
    kind.push_back(cell);
}

// The name of the folder holding the file, the working folder for a bare name.
std::string folder_name(const std::string &path) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(io::native_path(path), error);
  if (error)
    full = io::native_path(path);
  return io::host_path(full.lexically_normal().parent_path().filename().native());
}

struct SampleSaid {
  std::string sample;
  stellarpgx::Said said;
};

} // namespace

bool StellarPgxSummaryReader::is_summary(std::span<const std::vector<std::string>> rows) {
  if (rows.empty())
    return false;
  const std::vector<std::string_view> first = cells_of(rows[0]);
  if (first.empty() || line_kind(first) != Line::sample)
    return false;
  const std::vector<std::string_view> second =
      rows.size() > 1 ? cells_of(rows[1]) : std::vector<std::string_view>();
  return second.empty() || line_kind(second) != Line::other;
}

std::optional<std::string> StellarPgxSummaryReader::passed_over(const std::string &file_path) {
  std::string text;
  try {
    text = io::read_text_sig(file_path);
  } catch (const UnicodeDecodeFailure &) {
    return std::string(NOT_A_SUMMARY); // not text
  } catch (const OsError &) {
    return std::nullopt;
  } catch (const ValueError &) { // a broken gzip stream
    return std::nullopt;
  }
  try {
    if (is_summary(head_rows(text)))
      return std::nullopt;
  } catch (const CsvError &) {
  }
  return std::string(NOT_A_SUMMARY);
}

std::string StellarPgxSummaryReader::gene() const {
  const std::vector<std::string_view> named =
      known_genes_in(io::base_name(io::uncompressed_name(file_path())));
  const std::string_view folder = known_gene(folder_name(file_path()));
  if (named.size() > 1 || (named.size() == 1 && !folder.empty() && folder != named.front())) {
    std::vector<std::string_view> genes = named;
    if (!folder.empty() && std::ranges::find(genes, folder) == genes.end())
      genes.push_back(folder);
    throw ValueError(file_path() + ": more than one gene named by its name or folder (" +
                     text::join(", ", genes) + "); " + std::string(NAME_THE_GENE));
  }
  if (named.size() == 1)
    return std::string(named.front());
  if (!folder.empty())
    return std::string(folder);
  throw ValueError(file_path() + ": a StellarPGx summary names no gene, nor does its folder; " +
                   std::string(NAME_THE_GENE));
}

std::vector<RawCall> StellarPgxSummaryReader::parse() {
  const std::string text = io::read_text_sig(file_path());
  std::vector<SampleSaid> samples;
  std::size_t number = 0;
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    const std::vector<std::string_view> cells =
        cells_of(text::split_stripped(rest.substr(0, end), "\t"));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    ++number;
    if (cells.empty())
      continue;
    const Line kind = line_kind(cells);
    if (samples.empty() && kind != Line::sample)
      throw not_recognised(file_path(), EXPECTED);
    if (kind == Line::other)
      throw ValueError(file_path() + ": line " + std::to_string(number) +
                       " is neither a sample's line of a StellarPGx summary nor one going on "
                       "with the sample above");
    std::span<const std::string_view> said = cells;
    if (kind == Line::sample) {
      samples.push_back({std::string(cells.front()), {}});
      said = said.subspan(1);
    }
    for (std::string_view cell : said)
      add(samples.back().said, cell);
  }
  if (samples.empty())
    throw not_recognised(file_path(), EXPECTED);

  const std::string gene_symbol = gene();
  std::vector<SampleCall> read;
  for (const SampleSaid &sample : samples)
    read.push_back({sample.sample, stellarpgx::call_of(gene_symbol, sample.said)});
  if (!one_sample_) {
    std::vector<RawCall> calls;
    for (SampleCall &each : read)
      calls.push_back(std::move(each.call));
    return calls;
  }
  return calls_of_sample(std::move(read), sample_, file_path(), named_);
}

} // namespace orvelle
