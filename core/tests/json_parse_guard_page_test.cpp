// core/tests/json_parse_guard_page_test.cpp: the parser reads nothing past a text's storage.
//
// simdjson reads up to 64 bytes beyond the end of what it parses. A text with less spare room
// than that must be copied first; read in place, the reads run off its allocation, which goes
// unnoticed until the allocation ends at an unmapped page. This executable replaces the global
// allocator so that one chosen allocation ends exactly at such a page, making the fault certain.
#include "orvelle/json/parse.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::size_t guarded_size = 0; // the size of the one allocation to place before a guard page
void *guarded_block = nullptr;
std::size_t guarded_length = 0;

void *guarded_allocation(std::size_t size) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t pages = (size + page - 1) / page;
  guarded_length = (pages + 1) * page;
  void *block =
      ::mmap(nullptr, guarded_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED)
    throw std::bad_alloc();
  char *guard = static_cast<char *>(block) + pages * page;
  ::mprotect(guard, page, PROT_NONE);
  guarded_block = block;
  return guard - size;
}

bool is_guarded(void *pointer) {
  char *start = static_cast<char *>(guarded_block);
  return guarded_block != nullptr && pointer >= start && pointer < start + guarded_length;
}

} // namespace

// These are the allocator, so handing operator new's blocks to free() is what they must do.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void *operator new(std::size_t size) {
  if (size == guarded_size && guarded_block == nullptr)
    return guarded_allocation(size);
  if (void *pointer = std::malloc(size == 0 ? 1 : size))
    return pointer;
  throw std::bad_alloc();
}

void operator delete(void *pointer) noexcept {
  if (is_guarded(pointer)) {
    ::munmap(guarded_block, guarded_length);
    guarded_block = nullptr;
    return;
  }
  std::free(pointer);
}

// Every other form goes through the two above, so that no block is freed by another allocator
// than the one that made it (a sanitizer's runtime brings its own).
void *operator new[](std::size_t size) { return operator new(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}
void *operator new[](std::size_t size, const std::nothrow_t &tag) noexcept {
  return operator new(size, tag);
}
void operator delete[](void *pointer) noexcept { operator delete(pointer); }
void operator delete(void *pointer, std::size_t) noexcept { operator delete(pointer); }
void operator delete[](void *pointer, std::size_t) noexcept { operator delete(pointer); }
void operator delete(void *pointer, const std::nothrow_t &) noexcept { operator delete(pointer); }
void operator delete[](void *pointer, const std::nothrow_t &) noexcept { operator delete(pointer); }

#pragma GCC diagnostic pop

namespace {

TEST(JsonParseGuardPage, TextWithoutSpareRoomIsNotReadPastItsEnd) {
  const std::string document = R"({"genes": {"CYP2D6": {"geneSymbol": "CYP2D6"}}, "n": [1, 2]})";
  guarded_size = document.size() + 1; // a text's storage: its characters and the final NUL
  std::string text(document.data(), document.size());
  guarded_size = 0;
  ASSERT_TRUE(is_guarded(text.data()));
  ASSERT_EQ(text.capacity(), text.size());

  orvelle::json::Document parsed = orvelle::json::parse(text);
  EXPECT_EQ(parsed.root().find("n")->size(), 2u);
  orvelle::json::Document on_demand = orvelle::json::parse_on_demand(text);
  EXPECT_EQ(on_demand.root().find("n")->size(), 2u);
}

} // namespace
