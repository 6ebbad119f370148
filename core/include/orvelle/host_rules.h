// orvelle/host_rules.h: the host's own rules where they run once per file or only on failure,
// and where each host release may decide differently: the dialect its CSV sniffer picks, and
// how its JSON reader describes a text it refuses. The host installs them, as it installs the
// log sink; what runs per record stays in the core.
#pragma once

#include "orvelle/csv/reader.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvelle::host {

/// How the host's JSON reader refuses a text: its message and the character position.
struct JsonFault {
  std::string msg;
  std::size_t pos;
};

/// The host's implementation asks the running interpreter. Texts are WTF-8.
class Rules {
public:
  virtual ~Rules();
  /// csv.Sniffer().sniff(sample, delimiters), or nullopt where it cannot determine the
  /// delimiter. `delimiters` is ASCII.
  virtual std::optional<csv::Dialect> sniff(std::string_view sample,
                                            std::string_view delimiters) = 0;
  /// How json.loads refuses `text`, or nullopt where it accepts it or fails another way (the
  /// core's own description then stands).
  virtual std::optional<JsonFault> describe_json_fault(std::string_view text) = 0;
};

/// Installs `rules` (not owned; nullptr removes them). Returns the previous ones.
Rules *set_rules(Rules *rules) noexcept;

/// The installed rules, or nullptr.
Rules *installed_rules() noexcept;

} // namespace orvelle::host
