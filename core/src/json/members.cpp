// core/src/json/members.cpp: repeated member names, resolved as the host's dict resolves them.
#include "members.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace orvelle::json {
namespace {

// A cheap hash of a short name: its length and its first and last eight bytes.
std::uint64_t name_hash(std::string_view name) {
  std::uint64_t head = 0, tail = 0;
  if (name.size() >= 8) {
    std::memcpy(&head, name.data(), 8);
    std::memcpy(&tail, name.data() + name.size() - 8, 8);
  } else if (!name.empty()) {
    std::memcpy(&head, name.data(), name.size());
  }
  std::uint64_t h = (head ^ (tail * 0x9E3779B97F4A7C15ULL) ^ name.size()) * 0xBF58476D1CE4E5B9ULL;
  return h ^ (h >> 31);
}

std::size_t keep_unique_pairwise(std::span<Member> members) {
  std::size_t kept = 0;
  for (const Member &member : members) {
    std::size_t seen = 0;
    while (seen < kept && members[seen].key != member.key)
      ++seen;
    if (seen < kept)
      members[seen].value = member.value;
    else
      members[kept++] = member;
  }
  return kept;
}

// Through an open-addressing table of kept positions (0: a free slot), at most half full.
std::size_t keep_unique_hashed(std::span<Member> members, std::uint32_t *slots, std::size_t size) {
  const std::size_t mask = size - 1;
  std::size_t kept = 0;
  for (const Member &member : members) {
    std::size_t slot = name_hash(member.key) & mask;
    while (slots[slot] != 0 && members[slots[slot] - 1].key != member.key)
      slot = (slot + 1) & mask;
    if (slots[slot] != 0) {
      members[slots[slot] - 1].value = member.value;
    } else {
      members[kept] = member;
      slots[slot] = static_cast<std::uint32_t>(++kept);
    }
  }
  return kept;
}

} // namespace

std::size_t keep_unique_members(std::span<Member> members) {
  // Nearly every object has unique names, and most have few.
  if (members.size() <= 8)
    return keep_unique_pairwise(members);
  std::size_t size = 32;
  while (size < 2 * members.size())
    size *= 2;
  if (size <= 256) {
    std::uint32_t slots[256];
    std::fill_n(slots, size, 0);
    return keep_unique_hashed(members, slots, size);
  }
  std::vector<std::uint32_t> slots(size);
  return keep_unique_hashed(members, slots.data(), size);
}

} // namespace orvelle::json
