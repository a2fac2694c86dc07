// Block pools: which block an allocation hands out and where a chunk goes
// after every allocate and free, predicted from the pool's state before the
// call. Allocate and free are split between an inline common case and an
// out-of-line rest; a random run with small chunks crosses that border all
// the time, and each step must land exactly where the one algorithm says.
#include <gtest/gtest.h>

#include <stdint.h>

#include <random>
#include <string>
#include <vector>

#include "core/block_pool.h"

namespace {

BlockChunk* ChunkOfPayload(void* payload) {
  return *reinterpret_cast<BlockChunk**>(static_cast<char*>(payload) - POOL_BLOCK_HEADER_SIZE);
}

char* BlockAt(BlockPool* pool, BlockChunk* chunk, int32_t number) {
  return reinterpret_cast<char*>(chunk + 1) + static_cast<size_t>(number) * static_cast<size_t>(pool->blockSize);
}

bool OnList(BlockChunk* head, BlockChunk* chunk) {
  for (; head; head = head->next) {
    if (head == chunk) return true;
  }
  return false;
}

bool CanHandOut(const BlockChunk* chunk) { return chunk->freeCount > 0 || chunk->carved < chunk->blockCount; }

// One allocation checked against the prediction; "" when it matches.
std::string AllocateAsPredicted(BlockPool* pool, std::vector<void*>* out) {
  BlockChunk* head = pool->availableChunks;
  char* expected = nullptr;
  if (head) expected = head->freeCount > 0 ? static_cast<char*>(head->freeList) : BlockAt(pool, head, head->carved);
  int64_t totalBefore = pool->totalBlocks;
  void* payload = BlockPoolAlloc(pool);
  if (!payload) return "no block";
  out->push_back(payload);
  BlockChunk* chunk = ChunkOfPayload(payload);
  if (head) {
    if (static_cast<char*>(payload) != expected + POOL_BLOCK_HEADER_SIZE) return "not the head chunk's next block";
    if (chunk != head) return "header word names another chunk";
    if (pool->totalBlocks != totalBefore) return "totalBlocks changed without a new chunk";
  } else {
    if (static_cast<char*>(payload) != BlockAt(pool, chunk, 0) + POOL_BLOCK_HEADER_SIZE) return "not a new chunk's first block";
    if (chunk->carved != 1 || chunk->freeCount != 0) return "new chunk's counts";
    if (pool->totalBlocks != totalBefore + chunk->blockCount) return "totalBlocks missing the new chunk";
  }
  BlockChunk* expectedHead = CanHandOut(chunk) ? pool->availableChunks : pool->fullChunks;
  if (expectedHead != chunk) return CanHandOut(chunk) ? "usable chunk left the head of availableChunks" : "exhausted chunk not at the head of fullChunks";
  return "";
}

// One free checked against the prediction; "" when it matches.
std::string FreeAsPredicted(BlockPool* pool, void* payload) {
  BlockChunk* chunk = ChunkOfPayload(payload);
  bool wasExhausted = !CanHandOut(chunk);
  bool lastOut = chunk->freeCount + 1 == chunk->carved;
  int32_t blockCount = chunk->blockCount;
  int64_t totalBefore = pool->totalBlocks;
  BlockChunk* availableBefore = pool->availableChunks;
  BlockPoolFree(pool, payload);
  if (lastOut) {
    if (OnList(pool->availableChunks, chunk) || OnList(pool->fullChunks, chunk)) return "empty chunk kept";
    if (pool->totalBlocks != totalBefore - blockCount) return "totalBlocks still counts the freed chunk";
    return "";
  }
  if (chunk->freeList != static_cast<char*>(payload) - POOL_BLOCK_HEADER_SIZE) return "block not at the head of the free list";
  if (wasExhausted && pool->availableChunks != chunk) return "chunk with a block back not at the head of availableChunks";
  if (!wasExhausted && pool->availableChunks != availableBefore) return "a free reordered availableChunks";
  return "";
}

TEST(BlockPoolChoice, EveryStepHandsOutAndFilesChunksAsTheAlgorithmSays) {
  const struct {
    int32_t size, minPerChunk, maxPerChunk, flags;
  } shapes[] = {{56, 16, 256, 2}, {56, 2, 3, 2}, {8, 1, 1, 0}, {24, 2, 4, POOL_LOCKED}};
  for (auto& shape : shapes) {
    SCOPED_TRACE("size " + std::to_string(shape.size) + ", chunks " + std::to_string(shape.minPerChunk) + ".." +
                 std::to_string(shape.maxPerChunk) + ", flags " + std::to_string(shape.flags));
    BlockPool* pool = BlockPoolCreate(shape.size, shape.minPerChunk, shape.maxPerChunk, shape.flags);
    ASSERT_NE(pool, nullptr);
    std::mt19937 random(11 + shape.size + shape.minPerChunk);
    std::vector<void*> out;
    for (int step = 0; step < 3000; step++) {
      bool growing = (step / 300) % 2 == 0;
      if (out.empty() || random() % 100 < (growing ? 65u : 35u)) {
        ASSERT_EQ(AllocateAsPredicted(pool, &out), "") << "allocation at step " << step;
      } else {
        // Mostly the oldest block, as the event queue frees them; sometimes any.
        size_t index = random() % 4 == 0 ? random() % out.size() : 0;
        void* payload = out[index];
        out.erase(out.begin() + static_cast<ptrdiff_t>(index));
        ASSERT_EQ(FreeAsPredicted(pool, payload), "") << "free at step " << step;
      }
    }
    while (!out.empty()) {
      void* payload = out.back();
      out.pop_back();
      ASSERT_EQ(FreeAsPredicted(pool, payload), "");
    }
    EXPECT_EQ(pool->totalBlocks, 0);
    EXPECT_EQ(pool->availableChunks, nullptr);
    EXPECT_EQ(pool->fullChunks, nullptr);
    BlockPoolRelease(pool);
  }
}

}  // namespace
