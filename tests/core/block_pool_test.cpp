// Block pools: block size rounding, chunk growth, the free list before the
// untouched tail, last-in first-out reuse, chunks moving between the lists
// and going back to the heap, shared pools, locked pools under concurrent
// use, heap exhaustion, and a randomized run that checks after every step
// which block was handed out, where its chunk went, and the bookkeeping.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/block_pool.h"
#include "core/kernel.h"
#include "support/allocation_failures.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
// The fallback test asks the heap for more than any machine has; the
// sanitizer must answer that with null, as the platform heaps do.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif
#endif

namespace {

const size_t BLOCK_HEADER = 8;

BlockChunk* ChunkOf(void* payload) { return *reinterpret_cast<BlockChunk**>(static_cast<char*>(payload) - BLOCK_HEADER); }

bool CanHandOut(const BlockChunk* chunk) { return chunk->freeCount > 0 || chunk->carved < chunk->blockCount; }

// The payload the next allocation must hand out: the head usable chunk's
// most recently returned block, else its next untouched one. Null when a new
// chunk must be made.
char* NextPayload(const BlockPool* pool) {
  const BlockChunk* head = pool->availableChunks;
  if (!head) return nullptr;
  if (head->freeCount > 0) return static_cast<char*>(head->freeList) + BLOCK_HEADER;
  return reinterpret_cast<char*>(const_cast<BlockChunk*>(head) + 1) + head->carved * pool->blockSize + BLOCK_HEADER;
}

// Checks every invariant the pool's bookkeeping must keep, given the payloads
// the caller holds; returns a description of the first broken one, or "".
std::string PoolInvariantViolation(BlockPool* pool, const std::set<void*>& handedOut) {
  int64_t blockSum = 0;
  int64_t outstanding = 0;
  std::set<BlockChunk*> chunks;
  BlockChunk* heads[2] = {pool->availableChunks, pool->fullChunks};
  for (int list = 0; list < 2; list++) {
    BlockChunk* previous = nullptr;
    for (BlockChunk* chunk = heads[list]; chunk; previous = chunk, chunk = chunk->next) {
      if (chunk->prev != previous) return "broken prev link";
      if (!chunks.insert(chunk).second) return "chunk on a list twice";
      if (chunk->blockCount < 1 || chunk->carved < 1 || chunk->carved > chunk->blockCount)
        return "carved outside 1 .. blockCount";
      if (chunk->freeCount < 0 || chunk->freeCount >= chunk->carved) return "chunk with every block back was kept";
      if (list == 0 && !CanHandOut(chunk)) return "exhausted chunk on availableChunks";
      if (list == 1 && CanHandOut(chunk)) return "usable chunk on fullChunks";
      // The free list: freeCount distinct carved blocks of this chunk.
      char* first = reinterpret_cast<char*>(chunk + 1);
      std::set<void*> onFreeList;
      int length = 0;
      for (void* block = chunk->freeList; block; block = *static_cast<void**>(block)) {
        if (++length > chunk->freeCount) return "free list longer than freeCount";
        ptrdiff_t offset = static_cast<char*>(block) - first;
        if (offset < 0 || offset % pool->blockSize != 0 || offset / pool->blockSize >= chunk->carved)
          return "free block outside the carved blocks";
        onFreeList.insert(static_cast<char*>(block) + BLOCK_HEADER);
      }
      if (length != chunk->freeCount) return "free list shorter than freeCount";
      for (void* payload : onFreeList) {
        if (handedOut.count(payload)) return "a handed-out block is on a free list";
      }
      blockSum += chunk->blockCount;
      outstanding += chunk->carved - chunk->freeCount;
    }
  }
  if (blockSum != pool->totalBlocks) return "totalBlocks is not the sum of the chunks' block counts";
  if (outstanding != static_cast<int64_t>(handedOut.size())) return "chunks account for a different number of blocks";
  for (void* payload : handedOut) {
    BlockChunk* chunk = ChunkOf(payload);
    if (!chunks.count(chunk)) return "header word names no chunk of the pool";
    ptrdiff_t offset = static_cast<char*>(payload) - BLOCK_HEADER - reinterpret_cast<char*>(chunk + 1);
    if (offset < 0 || offset % pool->blockSize != 0 || offset / pool->blockSize >= chunk->carved)
      return "block outside its chunk's carved blocks";
  }
  return "";
}

TEST(BlockPoolCreate, RoundsTheBlockSizeUpWithItsHeaderWord) {
  struct Rounding {
    int32_t size, blockSize;
  } const cases[] = {{0, 8}, {1, 16}, {8, 16}, {9, 24}, {56, 64}, {57, 72}, {60, 72}, {64, 72}};
  for (const Rounding& rounding : cases) {
    BlockPool* pool = BlockPoolCreate(rounding.size, 16, 256, 2);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->blockSize, rounding.blockSize) << "size " << rounding.size;
    BlockPoolRelease(pool);
  }
  EXPECT_EQ(BlockPoolCreate(-1, 16, 256, 2), nullptr);
  EXPECT_EQ(BlockPoolCreate(INT32_MAX, 16, 256, 2), nullptr) << "rounded size overflows";
}

TEST(BlockPoolCreate, LowTwoFlagBitsEqualToOneGiveTheLock) {
  const struct {
    int32_t flags, locked;
  } cases[] = {{0, 0}, {1, 1}, {2, 0}, {3, 0}, {9, 1}};
  for (auto& row : cases) {
    BlockPool* pool = BlockPoolCreate(24, 16, 256, row.flags);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->locked, row.locked) << "flags " << row.flags;
    EXPECT_EQ(pool->sharedEntry, nullptr);
    EXPECT_EQ(pool->totalBlocks, 0);
    EXPECT_EQ(pool->availableChunks, nullptr);
    EXPECT_EQ(pool->fullChunks, nullptr);
    BlockPoolRelease(pool);
  }
}

TEST(BlockPoolAlloc, FirstChunkServesSixteenBlocksWithoutFurtherHeapCalls) {
  FailureBudgetReset reset;
  BlockPool* pool = BlockPoolCreate(56, 16, 256, 2);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->blockSize, 64);
  std::vector<char*> blocks;
  blocks.push_back(static_cast<char*>(BlockPoolAlloc(pool)));
  ASSERT_NE(blocks[0], nullptr);
  BlockChunk* first = ChunkOf(blocks[0]);
  EXPECT_EQ(pool->availableChunks, first);
  EXPECT_EQ(first->blockCount, 16);
  EXPECT_EQ(pool->totalBlocks, 16);
  // Any heap call from here on would fail: blocks 2 to 16 must not need one.
  KernelFailAllocationsAfter(0);
  for (int i = 1; i < 16; i++) {
    blocks.push_back(static_cast<char*>(BlockPoolAlloc(pool)));
    ASSERT_NE(blocks[i], nullptr) << "block " << i + 1 << " asked the heap";
    EXPECT_EQ(blocks[i], blocks[i - 1] + 64) << "untouched tail is carved in order";
    EXPECT_EQ(ChunkOf(blocks[i]), first);
  }
  EXPECT_EQ(pool->availableChunks, nullptr) << "the 16th block exhausts the chunk";
  EXPECT_EQ(pool->fullChunks, first);
  EXPECT_EQ(BlockPoolAlloc(pool), nullptr) << "the 17th needs a chunk, and the heap fails";
  KernelFailAllocationsAfter(-1);
  char* seventeenth = static_cast<char*>(BlockPoolAlloc(pool));
  ASSERT_NE(seventeenth, nullptr);
  EXPECT_NE(ChunkOf(seventeenth), first);
  EXPECT_EQ(ChunkOf(seventeenth)->blockCount, 16);
  EXPECT_EQ(pool->totalBlocks, 32);
  for (char* block : blocks) memset(block, 0xEE, 56);  // the whole payload is the caller's
  EXPECT_EQ(ChunkOf(blocks[15]), first) << "payload writes reached a header word";
  BlockPoolRelease(pool);
}

TEST(BlockPoolAlloc, NewChunksGrowByASixteenthOfThePoolInMultiplesOfSixteen) {
  BlockPool* pool = BlockPoolCreate(56, 16, 256, 2);
  ASSERT_NE(pool, nullptr);
  std::map<int64_t, int32_t> countByTotalBefore;
  std::vector<void*> blocks;
  BlockChunk* lastChunk = nullptr;
  while (pool->totalBlocks < 6000) {
    int64_t totalBefore = pool->totalBlocks;
    void* block = BlockPoolAlloc(pool);
    ASSERT_NE(block, nullptr);
    blocks.push_back(block);
    if (ChunkOf(block) != lastChunk) {
      lastChunk = ChunkOf(block);
      countByTotalBefore[totalBefore] = lastChunk->blockCount;
    }
  }
  // Every chunk made while totalBlocks lies in a range has that range's count.
  const struct {
    int64_t from, to;
    int32_t count;
  } ranges[] = {{0, 512, 16}, {512, 768, 32}, {768, 1024, 48}, {1024, 1280, 64}, {4096, INT64_MAX, 256}};
  for (auto& range : ranges) {
    int made = 0;
    for (auto& entry : countByTotalBefore) {
      if (entry.first < range.from || entry.first >= range.to) continue;
      made++;
      EXPECT_EQ(entry.second, range.count) << "chunk made at totalBlocks " << entry.first;
    }
    EXPECT_GT(made, 0) << "no chunk made while totalBlocks was in " << range.from << " .. " << range.to;
  }
  EXPECT_EQ(countByTotalBefore.begin()->second, 16);
  std::set<void*> handedOut(blocks.begin(), blocks.end());
  EXPECT_EQ(PoolInvariantViolation(pool, handedOut), "");
  for (void* block : blocks) BlockPoolFree(pool, block);
  EXPECT_EQ(pool->totalBlocks, 0);
  EXPECT_EQ(pool->availableChunks, nullptr);
  EXPECT_EQ(pool->fullChunks, nullptr);
  BlockPoolRelease(pool);
}

TEST(BlockPoolAlloc, ChunkBoundsBelowOneStillGiveUsableChunks) {
  BlockPool* pool = BlockPoolCreate(16, 0, -4, 2);
  ASSERT_NE(pool, nullptr);
  std::set<void*> handedOut;
  for (int i = 0; i < 5; i++) {
    void* block = BlockPoolAlloc(pool);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ChunkOf(block)->blockCount, 1);
    handedOut.insert(block);
    EXPECT_EQ(PoolInvariantViolation(pool, handedOut), "");
  }
  BlockPoolRelease(pool);
}

TEST(BlockPoolFree, OneBlockOutAndBackFreesTheChunk) {
  BlockPool* pool = BlockPoolCreate(56, 16, 256, 2);
  ASSERT_NE(pool, nullptr);
  void* block = BlockPoolAlloc(pool);
  EXPECT_EQ(pool->totalBlocks, 16);
  BlockPoolFree(pool, block);
  EXPECT_EQ(pool->totalBlocks, 0);
  EXPECT_EQ(pool->availableChunks, nullptr);
  EXPECT_EQ(pool->fullChunks, nullptr);
  BlockPoolFree(pool, nullptr);  // nothing to return
  BlockPoolRelease(pool);
}

TEST(BlockPoolFree, ReturnedBlocksComeBackLastInFirstOutBeforeTheUntouchedTail) {
  BlockPool* pool = BlockPoolCreate(56, 16, 256, 2);
  ASSERT_NE(pool, nullptr);
  void* a = BlockPoolAlloc(pool);
  void* b = BlockPoolAlloc(pool);
  void* c = BlockPoolAlloc(pool);
  BlockPoolFree(pool, a);
  BlockPoolFree(pool, b);
  EXPECT_EQ(BlockPoolAlloc(pool), b);
  EXPECT_EQ(BlockPoolAlloc(pool), a);
  EXPECT_EQ(BlockPoolAlloc(pool), static_cast<char*>(c) + 64) << "then the tail";
  BlockPoolRelease(pool);
}

TEST(BlockPoolFree, ABlockBackInAnExhaustedChunkMovesItToTheFrontAndIsReusedNext) {
  BlockPool* pool = BlockPoolCreate(56, 16, 256, 2);
  ASSERT_NE(pool, nullptr);
  std::vector<void*> first;
  for (int i = 0; i < 16; i++) first.push_back(BlockPoolAlloc(pool));
  void* second = BlockPoolAlloc(pool);
  BlockChunk* exhausted = ChunkOf(first[0]);
  ASSERT_EQ(pool->fullChunks, exhausted);
  ASSERT_EQ(pool->availableChunks, ChunkOf(second));
  BlockPoolFree(pool, first[5]);
  EXPECT_EQ(pool->fullChunks, nullptr);
  EXPECT_EQ(pool->availableChunks, exhausted);
  EXPECT_EQ(exhausted->next, ChunkOf(second));
  EXPECT_EQ(ChunkOf(second)->prev, exhausted);
  EXPECT_EQ(BlockPoolAlloc(pool), first[5]);
  EXPECT_EQ(pool->fullChunks, exhausted) << "exhausted again";
  BlockPoolRelease(pool);
}

TEST(BlockPoolClear, ReturnsEveryChunkAndThePoolStartsAfresh) {
  BlockPool* pool = BlockPoolCreate(100, 4, 64, 1);
  ASSERT_NE(pool, nullptr);
  for (int i = 0; i < 300; i++) ASSERT_NE(BlockPoolAlloc(pool), nullptr);
  EXPECT_NE(pool->fullChunks, nullptr);
  BlockPoolClear(pool);
  EXPECT_EQ(pool->totalBlocks, 0);
  EXPECT_EQ(pool->availableChunks, nullptr);
  EXPECT_EQ(pool->fullChunks, nullptr);
  void* block = BlockPoolAlloc(pool);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(pool->totalBlocks, 4);
  BlockPoolRelease(pool);
}

// ---------------------------------------------------------------------------
// Shared pools

TEST(BlockPoolShared, SizesRoundingAlikeShareOnePoolUntilTheLastRelease) {
  BlockPool* first = BlockPoolCreate(57, 16, 256, POOL_SHARED);
  BlockPool* second = BlockPoolCreate(60, 8, 32, POOL_SHARED);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->blockSize, 72);
  EXPECT_EQ(first->minPerChunk, 16) << "the first creator's bounds hold";
  EXPECT_EQ(first->maxPerChunk, 256);
  ASSERT_NE(first->sharedEntry, nullptr);
  EXPECT_EQ(first->sharedEntry->useCount, 2);
  EXPECT_EQ(first->sharedEntry->blockSize, 72);
  EXPECT_EQ(first->sharedEntry->flags, POOL_SHARED);
  EXPECT_EQ(first->sharedEntry->pool, first);
  EXPECT_EQ(first->locked, 0);

  BlockPoolRelease(first);
  EXPECT_EQ(second->sharedEntry->useCount, 1);
  void* block = BlockPoolAlloc(second);
  ASSERT_NE(block, nullptr);
  BlockPoolFree(second, block);
  BlockPoolRelease(second);

  // The entry is gone: the next request makes a pool of its own.
  BlockPool* fresh = BlockPoolCreate(64, 4, 8, POOL_SHARED);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->sharedEntry->useCount, 1);
  EXPECT_EQ(fresh->minPerChunk, 4);
  BlockPoolRelease(fresh);
}

TEST(BlockPoolShared, FlagsMustMatchExactly) {
  BlockPool* plain = BlockPoolCreate(40, 16, 256, 4);
  BlockPool* locked = BlockPoolCreate(40, 16, 256, 5);
  BlockPool* plainAgain = BlockPoolCreate(40, 16, 256, 4);
  BlockPool* privatePool = BlockPoolCreate(40, 16, 256, 0);
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(locked, nullptr);
  EXPECT_NE(plain, locked);
  EXPECT_EQ(plain, plainAgain);
  EXPECT_NE(privatePool, plain);
  EXPECT_EQ(plain->locked, 0);
  EXPECT_EQ(locked->locked, 1);
  EXPECT_EQ(locked->sharedEntry->flags, 5);
  EXPECT_EQ(privatePool->sharedEntry, nullptr);
  for (BlockPool* pool : {plain, locked, plainAgain, privatePool}) BlockPoolRelease(pool);
}

TEST(BlockPoolShared, ConcurrentCreatorsAndUsersOfALockedPoolAgree) {
  const int threadCount = 4;
  const int rounds = 2000;
  BlockPool* keeper = BlockPoolCreate(120, 16, 256, POOL_SHARED | POOL_LOCKED);
  ASSERT_NE(keeper, nullptr);
  std::vector<BlockPool*> seen(threadCount);
  std::vector<int> corrupted(threadCount);
  std::vector<std::thread> threads;
  for (int t = 0; t < threadCount; t++) {
    threads.emplace_back([&, t] {
      BlockPool* pool = BlockPoolCreate(118, 16, 256, POOL_SHARED | POOL_LOCKED);
      seen[t] = pool;
      std::vector<unsigned char*> mine;
      for (int i = 0; i < rounds; i++) {
        unsigned char* block = static_cast<unsigned char*>(BlockPoolAlloc(pool));
        memset(block, t + 1, 118);
        mine.push_back(block);
        if (i % 3 == 2) {
          for (int k = 0; k < 2; k++) {
            unsigned char* back = mine.back();
            mine.pop_back();
            for (int j = 0; j < 118; j++) corrupted[t] += back[j] != t + 1;
            BlockPoolFree(pool, back);
          }
        }
      }
      for (unsigned char* block : mine) BlockPoolFree(pool, block);
      BlockPoolRelease(pool);
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < threadCount; t++) {
    EXPECT_EQ(seen[t], keeper) << "thread " << t;
    EXPECT_EQ(corrupted[t], 0) << "thread " << t << " found its block overwritten";
  }
  EXPECT_EQ(keeper->sharedEntry->useCount, 1);
  EXPECT_EQ(keeper->totalBlocks, 0);
  BlockPoolRelease(keeper);
}

// ---------------------------------------------------------------------------
// Heap exhaustion

TEST(BlockPoolHeapFailure, CreateFailsWholeAndLinksNothing) {
  FailureBudgetReset reset;
  KernelFailAllocationsAfter(0);
  EXPECT_EQ(BlockPoolCreate(30, 16, 256, 2), nullptr);
  EXPECT_EQ(BlockPoolCreate(30, 16, 256, POOL_SHARED), nullptr) << "no list entry";
  KernelFailAllocationsAfter(1);
  EXPECT_EQ(BlockPoolCreate(30, 16, 256, POOL_SHARED), nullptr) << "entry, but no pool record";
  KernelFailAllocationsAfter(-1);
  BlockPool* pool = BlockPoolCreate(30, 16, 256, POOL_SHARED);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->sharedEntry->useCount, 1) << "a failed create left an entry behind";
  BlockPoolRelease(pool);
}

TEST(BlockPoolHeapFailure, AChunkTooLargeFallsBackToOneBlockAndNoMemoryAtAllGivesNull) {
  FailureBudgetReset reset;
  // 16 MiB blocks, 2^26 to a chunk: a petabyte no heap can supply.
  BlockPool* pool = BlockPoolCreate(16 << 20, 1 << 26, 1 << 26, 2);
  ASSERT_NE(pool, nullptr);
  std::set<void*> handedOut;
  for (int i = 0; i < 3; i++) {
    void* block = BlockPoolAlloc(pool);
    ASSERT_NE(block, nullptr) << "allocation " << i;
    EXPECT_EQ(ChunkOf(block)->blockCount, 1);
    EXPECT_EQ(pool->fullChunks, ChunkOf(block)) << "a one-block chunk starts exhausted";
    handedOut.insert(block);
    EXPECT_EQ(PoolInvariantViolation(pool, handedOut), "");
  }
  EXPECT_EQ(pool->totalBlocks, 3);
  EXPECT_EQ(pool->availableChunks, nullptr);
  KernelFailAllocationsAfter(0);
  EXPECT_EQ(BlockPoolAlloc(pool), nullptr);
  KernelFailAllocationsAfter(-1);
  EXPECT_EQ(PoolInvariantViolation(pool, handedOut), "") << "a failed allocation changed the pool";
  void* middle = *std::next(handedOut.begin());
  BlockPoolFree(pool, middle);
  handedOut.erase(middle);
  EXPECT_EQ(pool->totalBlocks, 2) << "a one-block chunk goes back with its block";
  EXPECT_EQ(PoolInvariantViolation(pool, handedOut), "");
  BlockPoolRelease(pool);
}

// ---------------------------------------------------------------------------
// Randomized run with the bookkeeping checked after every step

TEST(BlockPoolModelCheck, RandomAllocationsAndFreesKeepEveryInvariant) {
  const struct {
    int32_t size, minPerChunk, maxPerChunk, flags;
  } shapes[] = {{56, 16, 256, 2}, {1, 4, 64, 1}, {200, 2, 5, 0}, {8, 1, 1, 0}, {24, 2, 4, POOL_LOCKED}};
  for (auto& shape : shapes) {
    SCOPED_TRACE("size " + std::to_string(shape.size) + ", chunks " + std::to_string(shape.minPerChunk) + ".." +
                 std::to_string(shape.maxPerChunk) + ", flags " + std::to_string(shape.flags));
    BlockPool* pool = BlockPoolCreate(shape.size, shape.minPerChunk, shape.maxPerChunk, shape.flags);
    ASSERT_NE(pool, nullptr);
    std::mt19937 random(7 + shape.size);
    std::map<void*, unsigned char> handedOut;  // payload -> the byte written into it
    std::set<void*> payloads;
    std::vector<void*> order;
    for (int step = 0; step < 4000; step++) {
      // Phases of growth and shrinkage, so chunks are made and freed again.
      bool growing = (step / 500) % 2 == 0;
      bool allocate = order.empty() || random() % 100 < (growing ? 70u : 30u);
      if (allocate) {
        char* expected = NextPayload(pool);
        unsigned char* payload = static_cast<unsigned char*>(BlockPoolAlloc(pool));
        ASSERT_NE(payload, nullptr);
        BlockChunk* chunk = ChunkOf(payload);
        if (!expected) {
          ASSERT_EQ(chunk->carved, 1) << "step " << step << ": a new chunk is carved from its first block";
          expected = reinterpret_cast<char*>(chunk + 1) + BLOCK_HEADER;
        }
        ASSERT_EQ(payload, reinterpret_cast<unsigned char*>(expected)) << "step " << step << ": not the next block in line";
        ASSERT_EQ(chunk, CanHandOut(chunk) ? pool->availableChunks : pool->fullChunks)
            << "step " << step << ": the chunk that served is not at the head of its list";
        ASSERT_TRUE(payloads.insert(payload).second) << "step " << step << ": block handed out twice";
        unsigned char fill = static_cast<unsigned char>(random());
        memset(payload, fill, static_cast<size_t>(shape.size));
        handedOut[payload] = fill;
        order.push_back(payload);
      } else {
        size_t index = random() % order.size();
        unsigned char* payload = static_cast<unsigned char*>(order[index]);
        order[index] = order.back();
        order.pop_back();
        for (int i = 0; i < shape.size; i++) {
          ASSERT_EQ(payload[i], handedOut[payload]) << "step " << step << ": payload overwritten at byte " << i;
        }
        handedOut.erase(payload);
        payloads.erase(payload);
        BlockChunk* chunk = ChunkOf(payload);
        bool kept = chunk->freeCount + 1 < chunk->carved;
        BlockChunk* expectedHead = CanHandOut(chunk) ? pool->availableChunks : chunk;
        BlockPoolFree(pool, payload);
        if (kept) {
          ASSERT_EQ(chunk->freeList, payload - BLOCK_HEADER) << "step " << step << ": a returned block is not reused first";
          ASSERT_EQ(pool->availableChunks, expectedHead) << "step " << step << ": wrong chunk first in line after a free";
        }
      }
      std::string violation = PoolInvariantViolation(pool, payloads);
      ASSERT_EQ(violation, "") << "step " << step;
    }
    for (void* payload : order) BlockPoolFree(pool, payload);
    EXPECT_EQ(pool->totalBlocks, 0);
    BlockPoolRelease(pool);
  }
}

}  // namespace
