// core/src/csv/sniff_quotes.cpp: the sniffer's first guess: text between two identical quotes
// with a delimiter beside it, found the way the host's four regular expressions find it
// (DOTALL, MULTILINE, Unicode \w), then the host's check for doubled quotes.
//
// The expressions are fixed, so each is a hand-written matcher that reproduces the regex
// engine's first match from a start: the optional space is taken whenever it is there (a quote
// could not stand in its place, so giving it back never helps), and the lazy `.*?` stops at the
// first closing quote that fits. findall goes on from the end of each match.
#include "sniff_phases.h"

#include "orvelle/text/host_text.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace orvelle::csv::sniffing {
namespace {

bool is_quote(char32_t c) noexcept { return c == '"' || c == '\''; }

/// [^\w\n"']: what the expressions accept as a delimiter.
bool may_delimit(char32_t c) noexcept { return !text::is_word(c) && c != '\n' && !is_quote(c); }

/// ^ and $ under MULTILINE (only "\n" breaks a line).
bool at_line_start(std::u32string_view data, std::size_t pos) noexcept {
  return pos == 0 || data[pos - 1] == '\n';
}
bool at_line_end(std::u32string_view data, std::size_t pos) noexcept {
  return pos == data.size() || data[pos] == '\n';
}

struct Match {
  char32_t quote = 0;
  char32_t delimiter = 0;
  bool space = false;
  std::size_t end = 0;
};

/// (?P<delim>[^\w\n"'])(?P<space> ?)(?P<quote>["']): the opening quote's position.
std::optional<std::size_t> delimited_opening(std::u32string_view data, std::size_t pos, Match &m) {
  if (!may_delimit(data[pos]))
    return std::nullopt;
  std::size_t quote = pos + 1;
  m.space = quote < data.size() && data[quote] == ' ';
  quote += m.space;
  if (quote >= data.size() || !is_quote(data[quote]))
    return std::nullopt;
  m.delimiter = data[pos];
  m.quote = data[quote];
  return quote;
}

/// (?:^|\n)(?P<quote>["']): the opening quote's position.
std::optional<std::size_t> line_opening(std::u32string_view data, std::size_t pos, Match &m) {
  std::size_t quote;
  if (at_line_start(data, pos) && is_quote(data[pos]))
    quote = pos;
  else if (data[pos] == '\n' && pos + 1 < data.size() && is_quote(data[pos + 1]))
    quote = pos + 1;
  else
    return std::nullopt;
  m.quote = data[quote];
  return quote;
}

/// ,".*?",
bool quoted_between_delimiters(std::u32string_view data, std::size_t pos, Match &m) {
  auto open = delimited_opening(data, pos, m);
  if (!open)
    return false;
  for (std::size_t k = *open + 1; k + 1 < data.size(); ++k)
    if (data[k] == m.quote && data[k + 1] == m.delimiter) {
      m.end = k + 2;
      return true;
    }
  return false;
}

/// ".*?",  from a line's start; the delimiter is whatever may delimit after the quote.
bool quoted_then_delimiter(std::u32string_view data, std::size_t pos, Match &m) {
  auto open = line_opening(data, pos, m);
  if (!open)
    return false;
  for (std::size_t k = *open + 1; k + 1 < data.size(); ++k)
    if (data[k] == m.quote && may_delimit(data[k + 1])) {
      m.delimiter = data[k + 1];
      m.space = k + 2 < data.size() && data[k + 2] == ' ';
      m.end = k + 2 + m.space;
      return true;
    }
  return false;
}

/// The lazy `.*?"$` after an opening quote at `open`: the first closing quote that ends a line
/// (the line break is not consumed: `$` matches before it).
bool closes_at_line_end(std::u32string_view data, std::size_t open, Match &m) {
  for (std::size_t k = open + 1; k < data.size(); ++k)
    if (data[k] == m.quote && at_line_end(data, k + 1)) {
      m.end = k + 1;
      return true;
    }
  return false;
}

/// ,".*?"  up to a line's end.
bool delimiter_then_quoted(std::u32string_view data, std::size_t pos, Match &m) {
  auto open = delimited_opening(data, pos, m);
  return open && closes_at_line_end(data, *open, m);
}

/// ".*?"  spanning from a line's start to a line's end.
bool quoted_lines(std::u32string_view data, std::size_t pos, Match &m) {
  auto open = line_opening(data, pos, m);
  return open && closes_at_line_end(data, *open, m);
}

struct Pattern {
  bool (*match_at)(std::u32string_view, std::size_t, Match &);
  bool has_delimiter_and_space;
};

constexpr Pattern PATTERNS[] = {
    {quoted_between_delimiters, true},
    {quoted_then_delimiter, true},
    {delimiter_then_quoted, true},
    {quoted_lines, false},
};

std::vector<Match> find_all(std::u32string_view data, const Pattern &pattern) {
  std::vector<Match> found;
  for (std::size_t pos = 0; pos < data.size();) {
    Match m;
    if (pattern.match_at(data, pos, m)) {
      found.push_back(m);
      pos = m.end;
    } else {
      ++pos;
    }
  }
  return found;
}

/// Counts per character in order of first appearance, so that the first of equal counts wins
/// as max() over a dict does.
class Tally {
public:
  void add(char32_t c) {
    for (auto &[key, count] : counts_)
      if (key == c) {
        ++count;
        return;
      }
    counts_.emplace_back(c, 1);
  }
  bool empty() const noexcept { return counts_.empty(); }
  std::pair<char32_t, int> most() const {
    std::pair<char32_t, int> best = counts_.front();
    for (const auto &entry : counts_)
      if (entry.second > best.second)
        best = entry;
    return best;
  }

private:
  std::vector<std::pair<char32_t, int>> counts_;
};

/// Whether ((D)|^)\W*Q[^D\n]*Q[^D\n]*Q\W*((D)|$) (MULTILINE) matches anywhere. Without a
/// delimiter D the expression has empty groups in its place, which match everywhere.
bool has_doubled_quotes(std::u32string_view data, char32_t quote,
                        std::optional<char32_t> delimiter) {
  const std::size_t n = data.size();
  auto is_delimiter = [&](char32_t c) { return delimiter && c == *delimiter; };
  // tail_from[x]: \W*((D)|$) matches from x.
  std::vector<bool> tail_from(n + 1, true);
  if (delimiter)
    for (std::size_t x = n; x-- > 0;)
      tail_from[x] =
          data[x] == '\n' || is_delimiter(data[x]) || (!text::is_word(data[x]) && tail_from[x + 1]);
  // Within a stretch free of D and line breaks: stage 1 once a quote the head ((D)|^)\W* can
  // reach is seen, stage 2 once another quote follows it; a third quote the tail can follow
  // completes the match.
  bool head_reaches = true; // the head can end at the current position
  int stage = 0;
  for (std::size_t x = 0; x < n; ++x) {
    char32_t c = data[x];
    if (c == quote) {
      if (stage == 2 && tail_from[x + 1])
        return true;
      if (stage == 1)
        stage = 2;
      else if (stage == 0 && head_reaches)
        stage = 1;
    } else if (c == '\n' || is_delimiter(c)) {
      stage = 0;
    }
    head_reaches =
        !delimiter || c == '\n' || is_delimiter(c) || (!text::is_word(c) && head_reaches);
  }
  return false;
}

} // namespace

QuoteGuess guess_quote_and_delimiter(std::u32string_view data, std::u32string_view delimiters) {
  const Pattern *used = nullptr;
  std::vector<Match> matches;
  for (const Pattern &pattern : PATTERNS) {
    matches = find_all(data, pattern);
    if (!matches.empty()) {
      used = &pattern;
      break;
    }
  }
  if (!used)
    return {};

  Tally quotes, delimiters_seen;
  int spaces = 0;
  for (const Match &m : matches) {
    quotes.add(m.quote);
    if (!used->has_delimiter_and_space)
      continue;
    if (delimiters.find(m.delimiter) != std::u32string_view::npos)
      delimiters_seen.add(m.delimiter);
    spaces += m.space; // counted whether or not the delimiter is a candidate
  }

  QuoteGuess guess;
  guess.quotechar = quotes.most().first;
  if (!delimiters_seen.empty()) {
    auto [delimiter, count] = delimiters_seen.most();
    guess.delimiter = delimiter;
    guess.skipinitialspace = count == spaces;
  }
  guess.doublequote = has_doubled_quotes(data, *guess.quotechar, guess.delimiter);
  return guess;
}

} // namespace orvelle::csv::sniffing
