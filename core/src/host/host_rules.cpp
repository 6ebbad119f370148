// core/src/host/host_rules.cpp: the installed host rules.
#include "orvelle/host_rules.h"

namespace orvelle::host {
namespace {
Rules *installed = nullptr;
}

Rules::~Rules() = default;

Rules *set_rules(Rules *rules) noexcept {
  Rules *previous = installed;
  installed = rules;
  return previous;
}

Rules *installed_rules() noexcept { return installed; }

} // namespace orvelle::host
