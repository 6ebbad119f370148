// core/src/json/host_parser.cpp: a parser that follows the host's scanner step for step (its
// accepted literals, its number grammar with back-tracking, its escape handling and the order
// in which it detects faults), so that values and error positions agree. Containers are
// handled with an explicit stack, so no input can exhaust the C++ stack.
#include "host_parser.h"

#include "arena.h"
#include "members.h"
#include "numbers.h"
#include "orvelle/json/parse.h"
#include "orvelle/text/utf8.h"
#include "syntax_error.h"

#include <limits>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace orvelle::json {
namespace {

// The four white-space characters JSON allows between tokens.
bool is_json_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// The character a one-letter escape stands for, or 0 for a letter the host refuses.
char unescaped(char letter) {
  switch (letter) {
  case '"':
  case '\\':
  case '/':
    return letter;
  case 'b':
    return '\b';
  case 'f':
    return '\f';
  case 'n':
    return '\n';
  case 'r':
    return '\r';
  case 't':
    return '\t';
  default:
    return 0;
  }
}

class HostParser {
public:
  HostParser(std::string_view text, Arena &arena) : text_(text), arena_(arena) {}

  Value document() {
    if (text_.starts_with("\xEF\xBB\xBF"))
      fail(0, message::bom);
    std::size_t i = skip_space(0);
    Value root = value(i);
    i = skip_space(i);
    if (i != text_.size())
      fail(i, message::extra_data);
    return root;
  }

private:
  // An array or object being read; its items so far are pending_[first...].
  struct Open {
    bool object;
    std::size_t first;
  };

  [[noreturn]] void fail(std::size_t offset, std::string_view msg) const {
    throw_syntax_error(text_, offset, msg);
  }

  std::size_t skip_space(std::size_t i) const {
    while (i < text_.size() && is_json_space(text_[i]))
      ++i;
    return i;
  }

  bool at(std::size_t i, char c) const { return i < text_.size() && text_[i] == c; }

  Value value(std::size_t &i);
  Value scalar(std::size_t &i);
  Value number(std::size_t &i);
  std::size_t begin_member(std::size_t i);
  std::string_view string_body(std::size_t &i);
  std::string_view stored_name(std::string_view name);
  int hex4(std::size_t i) const;
  Value close(const Open &open);

  std::string_view text_;
  Arena &arena_;
  std::vector<Open> open_;
  std::vector<Member> pending_; // one slot per item of the open containers, innermost last
  std::string unescaped_;
  std::unordered_set<std::string_view> names_; // in the arena
};

// Reads the value at `i`, containers included, and leaves `i` just past it.
Value HostParser::value(std::size_t &i) {
  for (;;) {
    Value done;
    if (at(i, '[') || at(i, '{')) {
      const bool object = text_[i] == '{';
      const std::size_t opened = i;
      i = skip_space(i + 1);
      if (at(i, object ? '}' : ']')) {
        ++i;
        done = object ? Value::object({}) : Value::array({});
      } else {
        if (open_.size() == max_depth)
          fail(opened, message::too_deep);
        open_.push_back({object, pending_.size()});
        if (object)
          i = begin_member(i);
        else
          pending_.emplace_back();
        continue; // the first item's value is due
      }
    } else {
      done = scalar(i);
    }

    // `done` fills the innermost open slot; containers that end here close in turn.
    for (;;) {
      if (open_.empty())
        return done;
      pending_.back().value = done;
      const Open &top = open_.back();
      const char closer = top.object ? '}' : ']';
      i = skip_space(i);
      if (at(i, closer)) {
        ++i;
        done = close(top);
        open_.pop_back();
        continue;
      }
      if (!at(i, ','))
        fail(i, message::expecting_comma);
      i = skip_space(i + 1);
      if (top.object)
        i = begin_member(i);
      else
        pending_.emplace_back();
      break; // the next item's value is due
    }
  }
}

// Reads `"name"`, the colon and the space after it; opens the member's slot.
std::size_t HostParser::begin_member(std::size_t i) {
  if (!at(i, '"'))
    fail(i, message::expecting_name);
  ++i;
  std::string_view name = stored_name(string_body(i));
  i = skip_space(i);
  if (!at(i, ':'))
    fail(i, message::expecting_colon);
  pending_.push_back({name, Value()});
  return skip_space(i + 1);
}

Value HostParser::scalar(std::size_t &i) {
  constexpr double infinity = std::numeric_limits<double>::infinity();
  auto word = [&](std::string_view literal) {
    if (text_.substr(i, literal.size()) != literal)
      return false;
    i += literal.size();
    return true;
  };
  if (i >= text_.size())
    fail(i, message::expecting_value);
  switch (text_[i]) {
  case '"':
    ++i;
    return Value::string(arena_.copy_text(string_body(i)));
  case 'n':
    if (word("null"))
      return Value();
    break;
  case 't':
    if (word("true"))
      return Value::boolean(true);
    break;
  case 'f':
    if (word("false"))
      return Value::boolean(false);
    break;
  case 'N':
    if (word("NaN"))
      return Value::real(std::numeric_limits<double>::quiet_NaN());
    break;
  case 'I':
    if (word("Infinity"))
      return Value::real(infinity);
    break;
  case '-':
    if (word("-Infinity"))
      return Value::real(-infinity);
    break;
  default:
    break;
  }
  return number(i);
}

// -?(0|[1-9][0-9]*), then a fraction and an exponent each only when complete (otherwise the
// number ends before them and what follows is judged on its own).
Value HostParser::number(std::size_t &i) {
  const std::size_t start = i;
  const std::size_t size = text_.size();
  std::size_t j = i;
  if (text_[j] == '-' && ++j >= size)
    fail(start, message::expecting_value);
  if (text_[j] >= '1' && text_[j] <= '9') {
    while (++j < size && is_digit(text_[j])) {
    }
  } else if (text_[j] == '0') {
    ++j;
  } else {
    fail(start, message::expecting_value);
  }
  bool real = false;
  if (j + 1 < size && text_[j] == '.' && is_digit(text_[j + 1])) {
    real = true;
    j += 2;
    while (j < size && is_digit(text_[j]))
      ++j;
  }
  if (j + 1 < size && (text_[j] == 'e' || text_[j] == 'E')) {
    const std::size_t mark = j++;
    if (j + 1 < size && (text_[j] == '-' || text_[j] == '+'))
      ++j;
    while (j < size && is_digit(text_[j]))
      ++j;
    if (is_digit(text_[j - 1]))
      real = true;
    else
      j = mark;
  }
  i = j;
  std::string_view token = text_.substr(start, j - start);
  return real ? Value::real(real_value(token)) : integer_value(token, arena_);
}

// The value of four hex digits at `i`, or -1.
int HostParser::hex4(std::size_t i) const {
  int value = 0;
  for (std::size_t k = i; k < i + 4; ++k) {
    int digit = hex_digit(text_[k]);
    if (digit < 0)
      return -1;
    value = value * 16 + digit;
  }
  return value;
}

// Member names repeat across a document's objects (every gene report has the same members), so
// each distinct short name is stored once. Long names, and names past the first few thousand
// distinct ones (keys that are data, such as genes), are stored as they come.
std::string_view HostParser::stored_name(std::string_view name) {
  constexpr std::size_t kLongName = 64, kDistinctNames = 4096;
  if (name.size() > kLongName)
    return arena_.copy_text(name);
  if (auto found = names_.find(name); found != names_.end())
    return *found;
  std::string_view stored = arena_.copy_text(name);
  if (names_.size() < kDistinctNames)
    names_.insert(stored);
  return stored;
}

// Reads a string's body from just past its opening quote to just past its closing one. The
// view is into the text, or into a buffer the next string reuses. Escapes of lone surrogates
// stay lone (as WTF-8).
std::string_view HostParser::string_body(std::size_t &i) {
  const std::size_t size = text_.size();
  const std::size_t begin = i - 1;
  std::size_t chunk = i;
  bool escaped = false;
  unescaped_.clear();
  for (;;) {
    while (i < size && text_[i] != '"' && text_[i] != '\\') {
      if (static_cast<unsigned char>(text_[i]) < 0x20)
        fail(i, message::control_character);
      ++i;
    }
    if (i >= size)
      fail(begin, message::unterminated_string);
    std::string_view piece = text_.substr(chunk, i - chunk);
    if (text_[i] == '"') {
      ++i;
      if (!escaped)
        return piece;
      unescaped_.append(piece);
      return unescaped_;
    }
    unescaped_.append(piece);
    escaped = true;
    if (++i >= size) // past the backslash
      fail(begin, message::unterminated_string);
    if (text_[i] != 'u') {
      char c = unescaped(text_[i]);
      if (c == 0)
        fail(i - 1, message::invalid_escape);
      unescaped_.push_back(c);
      chunk = ++i;
      continue;
    }
    const std::size_t end = ++i + 4; // i: the first hex digit
    if (end >= size)
      fail(i - 1, message::invalid_unicode_escape);
    int code = hex4(i);
    if (code < 0)
      fail(i - 1, message::invalid_unicode_escape);
    i = end;
    // A high surrogate joins a low one escaped right after it; otherwise each stays alone.
    if (code >= 0xD800 && code <= 0xDBFF && end + 6 < size && text_[end] == '\\' &&
        text_[end + 1] == 'u') {
      int low = hex4(end + 2);
      if (low < 0)
        fail(end + 1, message::invalid_unicode_escape);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        i = end + 6;
      }
    }
    text::append_code_point(unescaped_, static_cast<char32_t>(code));
    chunk = i;
  }
}

Value HostParser::close(const Open &open) {
  std::span<Member> items(pending_.data() + open.first, pending_.size() - open.first);
  Value result;
  if (open.object) {
    Member *members = arena_.copy(items.data(), items.size());
    result = Value::object({members, keep_unique_members({members, items.size()})});
  } else {
    Value *values = arena_.make_array<Value>(items.size());
    for (std::size_t k = 0; k < items.size(); ++k)
      values[k] = items[k].value;
    result = Value::array({values, items.size()});
  }
  pending_.resize(open.first);
  return result;
}

} // namespace

Document parse_as_host(std::string_view text) {
  auto arena = std::make_unique<Arena>();
  Value root = HostParser(text, *arena).document();
  return Document(std::move(arena), root);
}

} // namespace orvelle::json
