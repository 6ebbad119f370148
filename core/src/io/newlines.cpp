// core/src/io/newlines.cpp: the newline translation of the host's text mode.
#include "orvelle/io/file.h"

#include <cstring>

namespace orvelle::io {

void translate_newlines(std::string &text) {
  char *cr = static_cast<char *>(std::memchr(text.data(), '\r', text.size()));
  if (cr == nullptr)
    return;
  const char *read = cr;
  const char *end = text.data() + text.size();
  char *write = cr;
  while (read < end) {
    if (*read == '\r') {
      *write++ = '\n';
      read += (read + 1 < end && read[1] == '\n') ? 2 : 1;
    } else {
      *write++ = *read++;
    }
  }
  text.resize(static_cast<std::size_t>(write - text.data()));
}

} // namespace orvelle::io
