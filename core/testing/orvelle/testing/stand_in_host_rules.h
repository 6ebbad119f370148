// orvelle/testing/stand_in_host_rules.h: host rules for where the core runs without its host
// (its tests, fuzzers and benchmarks), so those reach the paths that ask the host.
#pragma once

#include "orvelle/host_rules.h"

#include <algorithm>
#include <cstddef>

namespace orvelle::testing {

/// Sniffs the candidate delimiter found most often in the sample's first line (the earlier
/// candidate on a tie; no dialect when none is there), quoted the default way. Describes no
/// JSON fault, leaving the core's own description.
class StandInHostRules final : public host::Rules {
public:
  std::optional<csv::Dialect> sniff(std::string_view sample, std::string_view delimiters) override {
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
};

/// Installs one StandInHostRules for the process; later calls do nothing.
inline void install_stand_in_host_rules() {
  static StandInHostRules rules;
  static const bool installed = (host::set_rules(&rules), true);
  (void)installed;
}

} // namespace orvelle::testing
