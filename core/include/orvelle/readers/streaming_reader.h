// orvelle/readers/streaming_reader.h: readers that hand their calls over one by one.
//
// A table may hold a call per sample, a hundred thousand of them. Its reader gives each call
// to a receiver as it is made, so a consumer that turns the calls into objects of its own (the
// host bindings) never holds them all twice.
#pragma once

#include "orvelle/readers/ipgx_reader.h"

#include <functional>
#include <vector>

namespace orvelle {

/// Receives each call as a reader makes it.
using CallSink = std::function<void(RawCall &&)>;

class StreamingReader : public IPgxReader {
public:
  using IPgxReader::IPgxReader;

  /// Hands the file's calls to `emit` in the reader's order, then ends as parse() ends: with
  /// the same warnings, or the same error after the calls made before it was met.
  virtual void read_calls(const CallSink &emit) = 0;

  /// The calls read_calls hands over, collected.
  std::vector<RawCall> parse() override;
};

} // namespace orvelle
