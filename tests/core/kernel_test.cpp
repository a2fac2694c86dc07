// The kernel seam, on whichever platform the tests run (POSIX natively,
// Win32 under Wine): heaps, zeroing, growth with a zeroed tail, injected
// failures, the lock and the atomics.
#include <gtest/gtest.h>

#include <string.h>

#include <thread>
#include <vector>

#include "core/kernel.h"
#include "support/allocation_failures.h"

namespace {

TEST(KernelHeap, ZeroingAllocationAndGrowthKeepContentsAndZeroTheTail) {
  KernelHeap heap = KernelHeapCreate(4096);
  ASSERT_NE(heap, nullptr);
  unsigned char* block = static_cast<unsigned char*>(KernelHeapAlloc(heap, 100, 1));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 100; i++) ASSERT_EQ(block[i], 0) << i;
  memset(block, 0xAB, 100);
  block = static_cast<unsigned char*>(KernelHeapReAlloc(heap, block, 5000, 1));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 100; i++) ASSERT_EQ(block[i], 0xAB) << i;
  for (int i = 100; i < 5000; i++) ASSERT_EQ(block[i], 0) << i;
  EXPECT_TRUE(KernelHeapValidate(heap));
  KernelHeapFree(heap, block);
  KernelHeapDestroy(heap);
}

TEST(KernelHeap, DestroyReleasesBlocksStillAllocated) {
  // Under ASan a leak here would be reported at exit.
  KernelHeap heap = KernelHeapCreate(4096);
  for (int i = 0; i < 50; i++) ASSERT_NE(KernelHeapAlloc(heap, 64 + i, i & 1), nullptr);
  KernelHeapDestroy(heap);
}

TEST(KernelHeap, InjectedFailuresHitExactlyTheCountedAllocation) {
  FailureBudgetReset reset;
  KernelHeap heap = KernelHeapCreate(4096);
  ASSERT_NE(heap, nullptr);
  KernelFailAllocationsAfter(2);
  void* first = KernelHeapAlloc(heap, 8, 0);
  void* second = KernelHeapAlloc(heap, 8, 0);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(KernelHeapAlloc(heap, 8, 0), nullptr);
  EXPECT_EQ(KernelHeapReAlloc(heap, first, 64, 1), nullptr);
  EXPECT_EQ(KernelHeapCreate(4096), nullptr);
  KernelFailAllocationsAfter(-1);
  void* grown = KernelHeapReAlloc(heap, first, 64, 1);
  EXPECT_NE(grown, nullptr);
  EXPECT_TRUE(KernelHeapValidate(heap));
  KernelHeapDestroy(heap);
}

TEST(KernelHeap, ThreadsSharingOneHeapKeepEachBlockIntact) {
  // The heap is serialised: blocks made, grown and freed by several threads
  // at once keep their contents, and its bookkeeping stays valid.
  KernelHeap heap = KernelHeapCreate(4096);
  ASSERT_NE(heap, nullptr);
  std::vector<int> failures(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([&, t] {
      unsigned char* blocks[16] = {};
      for (int round = 0; round < 2000; round++) {
        int slot = round % 16;
        unsigned char mark = static_cast<unsigned char>(t * 16 + slot);
        if (blocks[slot]) {
          for (int i = 0; i < 24; i++) failures[t] += blocks[slot][i] != mark;
          if (round & 1) {
            blocks[slot] = static_cast<unsigned char*>(KernelHeapReAlloc(heap, blocks[slot], 24 + round % 200, 1));
            for (int i = 0; i < 24; i++) failures[t] += blocks[slot][i] != mark;
          }
          KernelHeapFree(heap, blocks[slot]);
        }
        blocks[slot] = static_cast<unsigned char*>(KernelHeapAlloc(heap, 24 + round % 100, round & 2));
        memset(blocks[slot], mark, 24);
      }
      for (unsigned char* block : blocks) KernelHeapFree(heap, block);
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; t++) EXPECT_EQ(failures[t], 0) << "thread " << t;
  EXPECT_TRUE(KernelHeapValidate(heap));
  KernelHeapDestroy(heap);
}

TEST(KernelHeap, BlocksMadeFromFreedMemoryAreZeroedOnRequestAndKeepTheirOwnSize) {
  // A heap may hand freed memory out again; a zeroing request must still
  // see zeros, and the size must be the one asked for, not the old block's.
  const size_t sizes[] = {0, 1, 15, 63, 64, 65, 1000, 4264, 16383, 16384, 16385, 70000};
  KernelHeap heap = KernelHeapCreate(4096);
  ASSERT_NE(heap, nullptr);
  for (size_t size : sizes) {
    for (size_t asked : {size, size + 1, size > 0 ? size - 1 : 0}) {
      unsigned char* dirty = static_cast<unsigned char*>(KernelHeapAlloc(heap, size + 1, 0));
      ASSERT_NE(dirty, nullptr);
      memset(dirty, 0xAB, size + 1);
      KernelHeapFree(heap, dirty);
      unsigned char* block = static_cast<unsigned char*>(KernelHeapAlloc(heap, asked, 1));
      ASSERT_NE(block, nullptr) << asked;
      EXPECT_EQ(KernelHeapSize(heap, block), asked);
      size_t nonZero = 0;
      for (size_t i = 0; i < asked; i++) nonZero += block[i] != 0;
      EXPECT_EQ(nonZero, 0u) << "size " << asked;
      KernelHeapFree(heap, block);
    }
  }
  EXPECT_TRUE(KernelHeapValidate(heap));
  KernelHeapDestroy(heap);
}

TEST(KernelHeap, GrowthZeroesFromTheCurrentSizeEvenWhenTheBlockHadMoreBefore) {
  // Shrink, then grow in place: the bytes between the shrunk size and the
  // old size held data once and must come back as zeros.
  const struct {
    size_t first, shrunk, grown;
  } cases[] = {{100, 40, 120}, {60, 1, 64}, {5000, 4000, 5100}, {20000, 17000, 30000}, {30000, 100, 16384}};
  KernelHeap heap = KernelHeapCreate(4096);
  ASSERT_NE(heap, nullptr);
  for (const auto& c : cases) {
    unsigned char* block = static_cast<unsigned char*>(KernelHeapAlloc(heap, c.first, 0));
    ASSERT_NE(block, nullptr);
    memset(block, 0xEE, c.first);
    block = static_cast<unsigned char*>(KernelHeapReAlloc(heap, block, c.shrunk, 0));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(KernelHeapSize(heap, block), c.shrunk);
    block = static_cast<unsigned char*>(KernelHeapReAlloc(heap, block, c.grown, 1));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(KernelHeapSize(heap, block), c.grown);
    size_t kept = 0, zeros = 0;
    for (size_t i = 0; i < c.shrunk; i++) kept += block[i] == 0xEE;
    for (size_t i = c.shrunk; i < c.grown; i++) zeros += block[i] == 0;
    EXPECT_EQ(kept, c.shrunk) << c.first << " -> " << c.shrunk << " -> " << c.grown;
    EXPECT_EQ(zeros, c.grown - c.shrunk) << c.first << " -> " << c.shrunk << " -> " << c.grown;
    KernelHeapFree(heap, block);
  }
  EXPECT_TRUE(KernelHeapValidate(heap));
  KernelHeapDestroy(heap);
}

TEST(KernelHeap, RandomTrafficKeepsEveryLiveBlockIntact) {
  // Thousands of allocations, reallocations and frees of mixed sizes; every
  // live block carries its own mark, which no other block may disturb.
  KernelHeap heap = KernelHeapCreate(4096);
  ASSERT_NE(heap, nullptr);
  struct Live {
    unsigned char* block;
    size_t size;
  };
  std::vector<Live> live(64, Live{nullptr, 0});
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  size_t damaged = 0;
  for (int step = 0; step < 20000; step++) {
    Live& slot = live[next() % live.size()];
    unsigned char mark = static_cast<unsigned char>(&slot - live.data());
    if (slot.block)
      for (size_t i = 0; i < slot.size; i++) damaged += slot.block[i] != mark;
    size_t size = next() % 4 == 0 ? next() % 40000 : next() % 600;
    if (!slot.block) {
      slot.block = static_cast<unsigned char*>(KernelHeapAlloc(heap, size, 0));
    } else if (next() % 2) {
      slot.block = static_cast<unsigned char*>(KernelHeapReAlloc(heap, slot.block, size, 0));
      for (size_t i = 0; i < (size < slot.size ? size : slot.size); i++) damaged += slot.block[i] != mark;
    } else {
      KernelHeapFree(heap, slot.block);
      slot = Live{nullptr, 0};
      continue;
    }
    ASSERT_NE(slot.block, nullptr);
    slot.size = size;
    memset(slot.block, mark, size);
  }
  EXPECT_EQ(damaged, 0u);
  EXPECT_TRUE(KernelHeapValidate(heap));
  for (Live& slot : live) KernelHeapFree(heap, slot.block);
  EXPECT_TRUE(KernelHeapValidate(heap));
  KernelHeapDestroy(heap);
}

TEST(KernelLock, SerialisesConcurrentIncrementsAndIsRecursive) {
  KernelLock lock;
  KernelLockInit(&lock);
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; i++) {
        KernelLockEnter(&lock);
        KernelLockEnter(&lock);
        counter++;
        KernelLockLeave(&lock);
        KernelLockLeave(&lock);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  KernelLockDelete(&lock);
  EXPECT_EQ(counter, 80000);
}

TEST(KernelAtomics, CompareExchangeAndExchangeReturnThePreviousValue) {
  volatile int32_t word = 0;
  EXPECT_EQ(KernelAtomicCompareExchange32(&word, 1, 0), 0);
  EXPECT_EQ(word, 1);
  EXPECT_EQ(KernelAtomicCompareExchange32(&word, 5, 0), 1);  // no match: unchanged
  EXPECT_EQ(word, 1);
  EXPECT_EQ(KernelAtomicExchange32(&word, 2), 1);
  EXPECT_EQ(KernelAtomicLoad32(&word), 2);
}

}  // namespace
