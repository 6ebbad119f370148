// orvelle/readers/streaming_reader.h: readers that hand their calls over one by one.
//
// A table may hold a call per sample, a hundred thousand of them. Its reader fills each call
// straight into storage its receiver gives, so a consumer that keeps the calls in objects of
// its own (the host bindings) never holds them all twice, nor moves them.
#pragma once

#include "orvelle/readers/ipgx_reader.h"

#include <functional>
#include <vector>

namespace orvelle {

/// Gives a new, empty call for a reader to fill in place; the receiver keeps it. A reader
/// asks for the next only when done with the one before.
using CallSink = std::function<RawCall &()>;

class StreamingReader : public IPgxReader {
public:
  using IPgxReader::IPgxReader;

  /// Fills the file's calls, in the reader's order, into the calls `new_call` gives, then
  /// ends as parse() ends: with the same warnings, or the same error after the calls made
  /// before it was met.
  virtual void read_calls(const CallSink &new_call) = 0;

  /// The calls read_calls hands over, collected.
  std::vector<RawCall> parse() override;
};

} // namespace orvelle
