// core/src/readers/stellarpgx_alleles_reader.cpp: a StellarPGx .alleles report read into its
// one call, its doubts kept as warnings in StellarPGx's words.
#include "orvelle/readers/stellarpgx_alleles_reader.h"

#include "stellarpgx_result.h"

#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/io/gunzip.h"
#include "orvelle/text/host_text.h"

#include <map>

namespace orvelle {
namespace {

constexpr std::string_view RESULT = "Result";
constexpr std::string_view STATUS = "Metaboliser status";
constexpr std::string_view ACTIVITY_SCORE = "Activity score";
constexpr std::string_view BACKGROUND = "Likely background alleles";

// The value lines of each headed section ("Result:" then "*1/*4"), blank lines left out; the
// title line comes first, under the empty heading.
std::map<std::string, std::vector<std::string>, std::less<>> sections(std::string_view text) {
  std::map<std::string, std::vector<std::string>, std::less<>> found;
  std::vector<std::string> *current = &found[""];
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    const std::string_view trimmed = text::strip(line);
    if (trimmed.empty() || trimmed.find_first_not_of('-') == std::string_view::npos)
      continue;
    if (trimmed.back() == ':') // a heading; "Possible ...: interpret with caution" is none
      current = &found[std::string(text::strip(trimmed.substr(0, trimmed.size() - 1)))];
    else
      current->emplace_back(line);
  }
  return found;
}

const std::vector<std::string> *section(const auto &found, std::string_view heading) {
  auto it = found.find(heading);
  return it == found.end() || it->second.empty() ? nullptr : &it->second;
}

// The first line's first cell is the answer; the cells after a tab, and any later line, are
// StellarPGx's notes on it.
void answer_and_notes(const std::vector<std::string> &result, stellarpgx::Said &said) {
  for (std::size_t i = 0; i < result.size(); ++i) {
    const std::vector<std::string_view> cells = text::split_stripped(result[i], "\t");
    for (std::size_t cell = 0; cell < cells.size(); ++cell)
      if (i == 0 && cell == 0)
        said.answers.push_back(cells[cell]);
      else if (!cells[cell].empty())
        said.notes.push_back(cells[cell]);
  }
}

} // namespace

std::vector<RawCall> StellarPgxAllelesReader::parse() {
  const auto found = sections(io::read_text_sig(file_path()));
  for (const std::string &line : found.at("")) {
    const std::size_t title = line.find(TITLE);
    if (title != std::string::npos && title > 0) {
      gene_ = std::string(text::strip(std::string_view(line).substr(0, title)));
      break;
    }
  }
  const std::vector<std::string> *result = section(found, RESULT);
  if (!gene_ || gene_->empty() || result == nullptr)
    throw ValueError(file_path() +
                     ": not a StellarPGx .alleles report (it needs the title \"<gene>" +
                     std::string(TITLE) + "\" and a Result)");
  auto first = [&](std::string_view heading) -> std::optional<std::string> {
    const std::vector<std::string> *lines = section(found, heading);
    if (lines == nullptr)
      return std::nullopt;
    return std::string(text::strip(lines->front()));
  };
  stellarpgx::Said said;
  answer_and_notes(*result, said);
  said.background = first(BACKGROUND);
  said.status = first(STATUS);
  RawCall call = stellarpgx::call_of(*gene_, said);
  call.activity_score = first(ACTIVITY_SCORE);
  return {std::move(call)};
}

std::optional<std::string> StellarPgxAllelesReader::named_sample() const {
  std::string_view stem = io::base_name(io::uncompressed_name(file_path()));
  const std::size_t dot = stem.rfind('.');
  stem = stem.substr(0, dot);
  const std::size_t underscore = stem.rfind('_');
  if (!gene_ || underscore == std::string_view::npos || underscore == 0)
    return std::nullopt;
  const std::string named_gene = text::lower(stem.substr(underscore + 1));
  if (named_gene.empty() || !text::lower(*gene_).ends_with(named_gene))
    return std::nullopt;
  return std::string(stem.substr(0, underscore));
}

} // namespace orvelle
