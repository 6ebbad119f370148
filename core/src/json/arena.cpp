// core/src/json/arena.cpp: the arena's blocks. Standard blocks freed by an arena are kept per
// thread for the next tree: a parse then writes into memory already mapped instead of
// faulting in fresh pages, which cost more than the parse itself on documents of megabytes.
#include "arena.h"

#include <new>

namespace orvelle::json {
namespace {

constexpr std::size_t kBlockSize = 256 * 1024;
constexpr std::size_t kKeptBlocks = 64; // at most 16 MB kept per thread

char *new_block(std::size_t size) { return static_cast<char *>(::operator new(size)); }
void delete_block(char *block) { ::operator delete(block); }

struct KeptBlocks {
  std::vector<char *> blocks;
  bool &torn_down;
  ~KeptBlocks() {
    for (char *block : blocks)
      delete_block(block);
    torn_down = true;
  }
};

// This thread's kept blocks, or nullptr once the thread's storage is being torn down (an
// arena may outlive it, as one held by a static does).
KeptBlocks *kept_blocks() {
  thread_local bool torn_down = false; // trivially destructible: readable to the very end
  if (torn_down)
    return nullptr;
  thread_local KeptBlocks kept{{}, torn_down};
  return &kept;
}

} // namespace

Arena::~Arena() {
  KeptBlocks *kept = kept_blocks();
  for (const Block &block : blocks_) {
    if (kept != nullptr && block.size == kBlockSize && kept->blocks.size() < kKeptBlocks)
      kept->blocks.push_back(block.data);
    else
      delete_block(block.data);
  }
}

void *Arena::allocate_in_new_block(std::size_t bytes) {
  // Grown ahead, so that recording the block cannot fail; doubling keeps a tree of many
  // blocks from copying the list once per block.
  if (blocks_.size() == blocks_.capacity())
    blocks_.reserve(blocks_.empty() ? 16 : 2 * blocks_.size());
  if (bytes > kBlockSize / 4) { // a large allocation gets a block of its own
    blocks_.push_back({new_block(bytes), bytes});
    return blocks_.back().data;
  }
  KeptBlocks *kept = kept_blocks();
  char *block;
  if (kept != nullptr && !kept->blocks.empty()) {
    block = kept->blocks.back();
    kept->blocks.pop_back();
  } else {
    block = new_block(kBlockSize);
  }
  blocks_.push_back({block, kBlockSize});
  next_ = block + bytes; // a fresh block is aligned for anything
  remaining_ = kBlockSize - bytes;
  return block;
}

} // namespace orvelle::json
