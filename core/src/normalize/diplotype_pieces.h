// core/src/normalize/diplotype_pieces.h: walking the alleles of a diplotype without building
// a list: split on "/", each piece stripped as by str.strip(), empty pieces skipped.
#pragma once

#include "orvelle/text/host_text.h"

#include <string_view>

namespace orvelle::normalize {

class DiplotypePieces {
public:
  explicit DiplotypePieces(std::string_view diplotype) noexcept : rest_(diplotype) {}

  /// Sets `piece` to the next non-empty piece (a view into the diplotype); false at the end.
  bool next(std::string_view &piece) noexcept {
    while (!done_) {
      const std::size_t slash = rest_.find('/');
      piece = text::strip(rest_.substr(0, slash));
      if (slash == std::string_view::npos)
        done_ = true;
      else
        rest_.remove_prefix(slash + 1);
      if (!piece.empty())
        return true;
    }
    return false;
  }

private:
  std::string_view rest_;
  bool done_ = false;
};

} // namespace orvelle::normalize
