// orvelle/host.h: everything the core asks of the program that runs it, its host: where log
// records go, the host's own rules where they run once per file or only on failure, and the
// facts of the installation. The package's host is the Python interpreter (bindings/runtime.cpp
// installs it when the package is imported); the core's tests, fuzzers and benchmarks install
// a stand-in (core/testing/orvelle/testing/stand_in_host.h). What runs per record never asks
// the host: the core does it natively.
#pragma once

#include "orvelle/csv/reader.h"
#include "orvelle/log.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvelle::host {

/// How the host's JSON reader refuses a text: its message and the character position.
struct JsonFault {
  std::string msg;
  std::size_t pos;
};

/// The host, as the core sees it. Texts are WTF-8. The core may ask from several threads at
/// once (a cohort's drivers), so an implementation guards what it shares.
class Host {
public:
  virtual ~Host();

  // --- logging: orvelle/log.h sends every record here -------------------------------------
  /// True when a record at `level` would be kept.
  virtual bool log_enabled(log::Level level) = 0;
  /// Keeps one record: a printf-style format and its arguments, formatted only if kept.
  virtual void log(log::Level level, const char *format, std::span<const log::Arg> args) = 0;

  // --- the host's own rules (each host release may decide differently) --------------------
  /// csv.Sniffer().sniff(sample, delimiters), or nullopt where it cannot determine the
  /// delimiter. `delimiters` is ASCII.
  virtual std::optional<csv::Dialect> sniff_csv(std::string_view sample,
                                                std::string_view delimiters) = 0;
  /// How json.loads refuses `text`, or nullopt where it accepts it or fails another way (the
  /// core's own description then stands).
  virtual std::optional<JsonFault> describe_json_fault(std::string_view text) = 0;
  /// Whether the host's csv reader refuses NUL characters ("line contains NUL"), as hosts
  /// before 3.11 do; later hosts read NUL as any other character.
  virtual bool csv_refuses_nul() = 0;

  // --- the installation --------------------------------------------------------------------
  /// The folder that holds "<name>.json" for each mapping table.
  virtual const std::string &mapping_directory() = 0;
  /// The package's version, written into every sidecar.
  virtual const std::string &package_version() = 0;
};

/// Installs `host` (not owned; it must outlive its use; nullptr returns to no host). Returns
/// the host installed before.
Host *install(Host *host) noexcept;

/// The installed host. Without one: records are dropped, sniffing throws std::logic_error,
/// JSON faults keep the core's own description, NUL is read, the mapping tables are looked
/// for in the working folder and the version is "0.0.0+unknown".
Host &current() noexcept;

} // namespace orvelle::host
