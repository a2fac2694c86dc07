// The kernel seam, on whichever platform the tests run (POSIX natively,
// Win32 under Wine): heaps, zeroing, growth with a zeroed tail, injected
// failures, the lock and the atomics.
#include <gtest/gtest.h>

#include <string.h>

#include <thread>
#include <vector>

#include "core/kernel.h"

namespace {

struct FailureBudgetReset {
  ~FailureBudgetReset() { KernelFailAllocationsAfter(-1); }
};

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
