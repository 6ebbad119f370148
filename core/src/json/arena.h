// core/src/json/arena.h: bump allocation for value trees; freed all at once with its owner.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace orvelle::json {

class Arena {
public:
  /// `bytes` of storage aligned for any value type; valid until the arena is destroyed.
  void *allocate(std::size_t bytes) {
    bytes = (bytes + kAlign - 1) & ~(kAlign - 1);
    if (bytes > remaining_) {
      std::size_t block = bytes > kBlock / 4 ? bytes : kBlock;
      blocks_.push_back(std::make_unique<std::max_align_t[]>(block / kAlign + 1));
      next_ = reinterpret_cast<char *>(blocks_.back().get());
      remaining_ = block;
      if (bytes == block) { // a large allocation gets a block of its own
        remaining_ = 0;
        return next_;
      }
    }
    void *result = next_;
    next_ += bytes;
    remaining_ -= bytes;
    return result;
  }

  template <typename T> T *copy(const T *items, std::size_t count) {
    if (count == 0)
      return nullptr;
    auto *out = static_cast<T *>(allocate(sizeof(T) * count));
    std::memcpy(static_cast<void *>(out), items, sizeof(T) * count);
    return out;
  }

  std::string_view copy_text(std::string_view text) {
    if (text.empty())
      return {};
    return {copy(text.data(), text.size()), text.size()};
  }

private:
  static constexpr std::size_t kAlign = alignof(std::max_align_t);
  static constexpr std::size_t kBlock = 64 * 1024;
  std::vector<std::unique_ptr<std::max_align_t[]>> blocks_;
  char *next_ = nullptr;
  std::size_t remaining_ = 0;
};

} // namespace orvelle::json
