// core/src/json/arena.h: bump allocation for value trees; freed all at once with its owner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace orvelle::json {

class Arena {
public:
  Arena() = default;
  ~Arena();
  Arena(const Arena &) = delete;
  Arena &operator=(const Arena &) = delete;

  /// `bytes` of storage aligned to `align` (a power of two, at most that of max_align_t);
  /// valid until the arena is destroyed.
  void *allocate(std::size_t bytes, std::size_t align = alignof(std::max_align_t)) {
    std::size_t padding = (0 - reinterpret_cast<std::uintptr_t>(next_)) & (align - 1);
    if (bytes + padding > remaining_)
      return allocate_in_new_block(bytes);
    char *result = next_ + padding;
    next_ = result + bytes;
    remaining_ -= bytes + padding;
    return result;
  }

  template <typename T> T *copy(const T *items, std::size_t count) {
    if (count == 0)
      return nullptr;
    auto *out = static_cast<T *>(allocate(sizeof(T) * count, alignof(T)));
    std::memcpy(static_cast<void *>(out), items, sizeof(T) * count);
    return out;
  }

  /// `count` default-constructed values of `T`, to be filled in place.
  template <typename T> T *make_array(std::size_t count) {
    if (count == 0)
      return nullptr;
    T *items = static_cast<T *>(allocate(sizeof(T) * count, alignof(T)));
    std::uninitialized_default_construct_n(items, count);
    return items;
  }

  /// One `T` made from `args`, to be left undestroyed (T must be trivially destructible).
  template <typename T, typename... Args> T *make(Args &&...args) {
    static_assert(std::is_trivially_destructible_v<T>);
    return new (allocate(sizeof(T), alignof(T))) T{std::forward<Args>(args)...};
  }

  std::string_view copy_text(std::string_view text) {
    if (text.empty())
      return {};
    return {copy(text.data(), text.size()), text.size()};
  }

  /// Something the values point into (a parsed document's buffers): released with the arena.
  using Held = std::unique_ptr<void, void (*)(void *)>;
  void hold(Held held) noexcept { held_ = std::move(held); }

private:
  struct Block {
    char *data;
    std::size_t size;
  };

  void *allocate_in_new_block(std::size_t bytes);

  std::vector<Block> blocks_;
  char *next_ = nullptr;
  std::size_t remaining_ = 0;
  Held held_{nullptr, nullptr};
};

} // namespace orvelle::json
