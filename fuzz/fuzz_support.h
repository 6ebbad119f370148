// fuzz/fuzz_support.h: what the fuzz targets share: input files in a scratch folder, a host
// that formats every log record (so deferred warnings and their arguments are exercised), and
// the check that stops a run on a broken promise.
#pragma once

#include "orvelle/errors.h"
#include "orvelle/json/value.h"
#include "orvelle/log.h"
#include "orvelle/readers/ipgx_reader.h"
#include "orvelle/testing/stand_in_host.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unistd.h>

namespace orvelle::fuzz {

/// Stops the run with a message: libFuzzer records the input as a crash.
[[noreturn]] inline void fail(const char *what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

inline void check(bool condition, const char *what) {
  if (!condition)
    fail(what);
}

/// Writes `data` to a file called `name` in this process's scratch folder; returns its path.
/// One folder per process, so parallel fuzzing jobs do not share files.
inline std::string write_input(std::string_view name, const std::uint8_t *data, std::size_t size) {
  static const std::string folder = [] {
    std::string pattern = "/tmp/orvelle-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
      fail("cannot create the scratch folder");
    return pattern;
  }();
  std::string path = folder + "/" + std::string(name);
  std::FILE *file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    fail("cannot open a scratch file");
  if (size != 0 && std::fwrite(data, 1, size, file) != size)
    fail("cannot write a scratch file");
  std::fclose(file);
  return path;
}

/// The stand-in host, accepting every record and reading every argument, as the host's
/// formatting would.
class ReadingHost final : public testing::StandInHost {
public:
  bool log_enabled(log::Level) override { return true; }
  void log(log::Level, const char *format, std::span<const log::Arg> args) override {
    std::size_t sum = std::string_view(format).size();
    for (const log::Arg &arg : args)
      if (const auto *text = std::get_if<std::string>(&arg))
        for (char c : *text)
          sum += static_cast<unsigned char>(c);
    total_ = total_ + sum; // kept, so the reads are not optimised away
  }

private:
  volatile std::size_t total_ = 0;
};

/// The reading host, installed on first use for the rest of the process.
inline ReadingHost &reading_host() {
  static ReadingHost host;
  static bool installed = (host::install(&host), true);
  (void)installed;
  return host;
}

/// Runs `step`, letting through only the failures a caller is promised for bad content: the
/// host's ValueError family, undecodable text and CSV errors. Anything else escapes and
/// libFuzzer records it. Returns whether `step` finished.
template <typename Step> bool allowing_content_errors(Step &&step) {
  try {
    step();
    return true;
  } catch (const ValueError &) {
  } catch (const UnicodeDecodeFailure &) {
  } catch (const CsvError &) {
  }
  return false;
}

/// Parses with `reader` and checks what every reader promises of its calls.
inline void parse_and_check(IPgxReader &reader) {
  allowing_content_errors([&] {
    for (const RawCall &call : reader.parse())
      check(call.source == std::string(reader.source_name()), "a call not tagged with its reader");
  });
}

/// The number of calls `reader` parses; nullopt when it refuses the content.
inline std::optional<std::size_t> calls_of(IPgxReader &reader) {
  std::optional<std::size_t> count;
  allowing_content_errors([&] { count = reader.parse().size(); });
  return count;
}

/// A reader of files of several samples, taking one (the first's, and one named by the
/// input's first bytes), never gives more calls than it gives for the whole file.
template <typename Reader>
void check_one_sample_within_whole(const std::string &path, std::string_view text) {
  Reader all(path);
  const std::optional<std::size_t> every = calls_of(all);
  for (std::optional<std::string> sample :
       {std::optional<std::string>(), std::optional<std::string>(text.substr(0, 8))}) {
    Reader one(path);
    one.take_sample(sample);
    if (std::optional<std::size_t> taken = calls_of(one); taken && every)
      check(*taken <= *every, "one sample's calls outnumber the whole file's");
  }
}

} // namespace orvelle::fuzz
