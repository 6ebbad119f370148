// core/src/host/host.cpp: the installed host, and what the core does when none is installed.
#include "orvelle/host.h"

#include <atomic>
#include <stdexcept>

namespace orvelle::host {
namespace {

class NoHost final : public Host {
public:
  bool log_enabled(log::Level) override { return false; }
  void log(log::Level, const char *, std::span<const log::Arg>) override {}
  std::optional<csv::Dialect> sniff_csv(std::string_view, std::string_view) override {
    throw std::logic_error("no host is installed to sniff a CSV dialect");
  }
  std::optional<JsonFault> describe_json_fault(std::string_view) override { return std::nullopt; }
  bool csv_refuses_nul() override { return false; }
  const std::string &mapping_directory() override { return directory_; }
  const std::string &package_version() override { return version_; }

private:
  const std::string directory_;
  const std::string version_ = "0.0.0+unknown";
};

NoHost no_host;
std::atomic<Host *> installed{&no_host};

} // namespace

Host::~Host() = default;

Host *install(Host *host) noexcept {
  Host *previous = installed.exchange(host != nullptr ? host : &no_host);
  return previous == &no_host ? nullptr : previous;
}

Host &current() noexcept { return *installed.load(std::memory_order_acquire); }

} // namespace orvelle::host
