// core/src/readers/streaming_reader.cpp: the whole list of a streaming reader's calls.
#include "orvelle/readers/streaming_reader.h"

namespace orvelle {

std::vector<RawCall> StreamingReader::parse() {
  std::vector<RawCall> calls;
  read_calls([&calls]() -> RawCall & { return calls.emplace_back(); });
  return calls;
}

} // namespace orvelle
