// core/src/csv/sniff_frequency.cpp: the sniffer's second guess: the ASCII character that occurs
// the same number of times on the most lines, taken ten non-empty lines at a time, with the
// host's consistency threshold walk, preference list and tie-breaks.
#include "sniff_phases.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <tuple>
#include <vector>

namespace orvelle::csv::sniffing {
namespace {

constexpr char32_t ASCII_COUNTED = 127; // chr(0) .. chr(126)
constexpr std::size_t CHUNK_LINES = 10;
constexpr char32_t PREFERRED[] = {',', '\t', ';', ' ', ':'};

/// A number of occurrences per line, and on how many lines it was seen (for a mode: less the
/// lines that saw any other number, so it may go negative).
struct Frequency {
  int per_line;
  int lines;
};

/// Lines split at "\n", empty ones dropped.
std::vector<std::u32string_view> non_empty_lines(std::u32string_view data) {
  std::vector<std::u32string_view> lines;
  std::size_t start = 0;
  while (start <= data.size()) {
    std::size_t end = std::min(data.find(U'\n', start), data.size());
    if (end > start)
      lines.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

/// str.count(c) == str.count(c + " "): every occurrence of the delimiter has a space after it.
bool spaces_follow(std::u32string_view line, char32_t delimiter) {
  std::size_t alone = 0, spaced = 0;
  for (std::size_t i = 0; i < line.size(); ++i)
    alone += line[i] == delimiter;
  for (std::size_t i = 0; i + 1 < line.size();) {
    if (line[i] == delimiter && line[i + 1] == ' ') {
      ++spaced;
      i += 2;
    } else {
      ++i;
    }
  }
  return alone == spaced;
}

/// The mode of a character's per-line counts, with the first seen of equal modes winning.
Frequency mode_of(const std::vector<Frequency> &seen) {
  if (seen.size() == 1)
    return seen.front();
  Frequency best = seen.front();
  int all_lines = 0;
  for (const Frequency &f : seen) {
    all_lines += f.lines;
    if (f.lines > best.lines)
      best = f;
  }
  return {best.per_line, best.lines - (all_lines - best.lines)};
}

} // namespace

std::optional<DelimiterGuess> guess_delimiter(std::u32string_view data,
                                              std::u32string_view delimiters) {
  const std::vector<std::u32string_view> lines = non_empty_lines(data);
  auto guess = [&](char32_t delimiter) {
    return DelimiterGuess{delimiter, spaces_follow(lines.front(), delimiter)};
  };
  auto is_candidate = [&](char32_t c) { return delimiters.find(c) != std::u32string_view::npos; };

  const std::size_t chunk = std::min(CHUNK_LINES, lines.size());
  // Per character: each per-line count seen so far, in order of first appearance.
  std::array<std::vector<Frequency>, ASCII_COUNTED> seen;
  std::array<std::optional<Frequency>, ASCII_COUNTED> modes;
  std::vector<std::pair<char32_t, Frequency>> found;
  std::size_t iteration = 0;
  for (std::size_t start = 0, end = chunk; start < lines.size(); start = end, end += chunk) {
    ++iteration;
    for (std::size_t i = start; i < std::min(end, lines.size()); ++i) {
      std::array<int, ASCII_COUNTED> counts{};
      for (char32_t c : lines[i])
        if (c < ASCII_COUNTED)
          ++counts[c];
      for (char32_t c = 0; c < ASCII_COUNTED; ++c) {
        std::vector<Frequency> &of_char = seen[c];
        auto same = std::find_if(of_char.begin(), of_char.end(),
                                 [&](const Frequency &f) { return f.per_line == counts[c]; });
        if (same == of_char.end())
          of_char.push_back({counts[c], 1});
        else
          ++same->lines;
      }
    }
    for (char32_t c = 0; c < ASCII_COUNTED; ++c)
      if (!(seen[c].size() == 1 && seen[c].front().per_line == 0)) // the character never occurs
        modes[c] = mode_of(seen[c]);

    // Loosen the required share of consistent lines from 100% until someone qualifies; the
    // steps are the host's own float arithmetic.
    const double total = static_cast<double>(std::min(chunk * iteration, lines.size()));
    for (double consistency = 1.0; found.empty() && consistency >= 0.9; consistency -= 0.01)
      for (char32_t c = 0; c < ASCII_COUNTED; ++c) {
        const std::optional<Frequency> &mode = modes[c];
        if (mode && mode->per_line > 0 && mode->lines > 0 && mode->lines / total >= consistency &&
            is_candidate(c))
          found.emplace_back(c, *mode);
      }
    if (found.size() == 1)
      return guess(found.front().first);
  }
  if (found.empty())
    return std::nullopt;

  for (char32_t preferred : PREFERRED)
    for (const auto &entry : found)
      if (entry.first == preferred)
        return guess(preferred);
  // max over (mode, character) tuples
  auto highest = std::max_element(found.begin(), found.end(), [](const auto &a, const auto &b) {
    return std::tie(a.second.per_line, a.second.lines, a.first) <
           std::tie(b.second.per_line, b.second.lines, b.first);
  });
  return guess(highest->first);
}

} // namespace orvelle::csv::sniffing
