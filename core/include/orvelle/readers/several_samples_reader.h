// orvelle/readers/several_samples_reader.h: what a reader of files that may hold several
// samples adds to its base: the sample it is asked to read, and the one it read.
#pragma once

#include <optional>
#include <string>

namespace orvelle {

/// A reader over `Base` (IPgxReader or StreamingReader) whose files may hold several samples.
/// take_sample asks for one (the matching rule is in readers/sample_rows.h): `sample`'s, or,
/// when absent, the first's, each call then saying so when the file holds more; without it
/// every sample is read. After parse(), named_sample is the sample whose calls were read:
/// nullopt when the file had none of it or names no samples.
template <typename Base> class SeveralSamplesReader : public Base {
public:
  using Base::Base;

  void take_sample(std::optional<std::string> sample) override {
    one_sample_ = true;
    sample_ = std::move(sample);
  }
  bool holds_several_samples() const override { return true; }
  std::optional<std::string> named_sample() const override { return named_; }

  /// The sample asked for by take_sample.
  const std::optional<std::string> &sample() const noexcept { return sample_; }

protected:
  bool one_sample_ = false;           // take_sample was called
  std::optional<std::string> sample_; // the sample asked for
  std::optional<std::string> named_;  // the sample read
};

} // namespace orvelle
