// orvelle/testing/stand_in_host.h: the host for where the core runs without the interpreter
// (its tests, fuzzers and benchmarks), so those reach every path that asks the host.
#pragma once

#include "orvelle/host.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace orvelle::testing {

/// Drops log records. Sniffs the candidate delimiter found most often in the sample's first
/// line (the earlier candidate on a tie; no dialect when none is there), quoted the default
/// way. Describes no JSON fault, leaving the core's own description. Reads the source tree's
/// mapping tables. A test or fuzzer overrides what it watches or changes the fields.
class StandInHost : public host::Host {
public:
  /// As hosts before 3.11 when true.
  bool refuses_nul = false;
  std::string tables = ORVELLE_SOURCE_MAPPING_TABLES;
  std::string version = "0.0.0+stand-in";

  bool log_enabled(log::Level) override { return false; }
  void log(log::Level, const char *, std::span<const log::Arg>) override {}

  std::optional<csv::Dialect> sniff_csv(std::string_view sample,
                                        std::string_view delimiters) override {
    const std::string_view first_line = sample.substr(0, sample.find_first_of("\r\n"));
    std::optional<csv::Dialect> best;
    std::ptrdiff_t most = 0;
    for (char candidate : delimiters) {
      const std::ptrdiff_t count = std::count(first_line.begin(), first_line.end(), candidate);
      if (count > most) {
        most = count;
        best = csv::Dialect{.delimiter = candidate};
      }
    }
    return best;
  }

  std::optional<host::JsonFault> describe_json_fault(std::string_view) override {
    return std::nullopt;
  }
  bool csv_refuses_nul() override { return refuses_nul; }
  const std::string &mapping_directory() override { return tables; }
  const std::string &package_version() override { return version; }
};

/// Installs `host` for the life of this object, then puts back the host installed before.
class HostInstalled {
public:
  explicit HostInstalled(host::Host &host) : previous_(host::install(&host)) {}
  ~HostInstalled() { host::install(previous_); }
  HostInstalled(const HostInstalled &) = delete;
  HostInstalled &operator=(const HostInstalled &) = delete;

private:
  host::Host *previous_;
};

/// Installs one StandInHost for the rest of the process; later calls do nothing.
inline void install_stand_in_host() {
  static StandInHost stand_in;
  static const bool installed = (host::install(&stand_in), true);
  (void)installed;
}

} // namespace orvelle::testing
