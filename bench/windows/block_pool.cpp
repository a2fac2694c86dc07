// Block pools against HeapAlloc/HeapFree on a private heap, as the utility
// is built and run: 48-byte blocks, single allocate+free pairs and bursts of
// 1,000 allocations then 1,000 frees, for an unlocked and a locked pool. The
// pool must be at least twice as fast as the heap.
//
// A pool whose last block comes back returns its chunk, so a pair keeps one
// block out, as a queue in use does; a burst starts from an empty pool.
//
//   block_pool_bench.exe [BLOCKS-PER-MEASUREMENT]   (default 3,000,000)
#include <stdlib.h>

#include "bench/windows/timing.h"
#include "core/block_pool.h"
#include "core/process_heap.h"

namespace {

const int SIZE = 48;
const int BURST = 1000;

void* blocks[BURST];

void ComparePool(const char* name, int32_t flags, HANDLE heap, long pairs) {
  BlockPool* pool = BlockPoolCreate(SIZE, 16, 256, flags);
  void* resident = BlockPoolAlloc(pool);
  char pairName[32], burstName[32];
  snprintf(pairName, sizeof pairName, "%s pair", name);
  snprintf(burstName, sizeof burstName, "%s burst", name);
  PrintComparison(
      pairName, pairs, [pool] { BlockPoolFree(pool, BlockPoolAlloc(pool)); },
      [heap] { HeapFree(heap, 0, HeapAlloc(heap, 0, SIZE)); });
  BlockPoolFree(pool, resident);
  long bursts = pairs / BURST > 0 ? pairs / BURST : 1;
  PrintComparison(
      burstName, bursts,
      [pool] {
        for (void*& block : blocks) block = BlockPoolAlloc(pool);
        for (void* block : blocks) BlockPoolFree(pool, block);
      },
      [heap] {
        for (void*& block : blocks) block = HeapAlloc(heap, 0, SIZE);
        for (void* block : blocks) HeapFree(heap, 0, block);
      });
  BlockPoolRelease(pool);
}

}  // namespace

int main(int argc, char** argv) {
  long pairs = argc > 1 ? strtol(argv[1], nullptr, 10) : 3000000;
  if (pairs < 1) pairs = 1;
  ProcessHeapStart();
  HANDLE heap = HeapCreate(0, 0, 0);
  if (!heap) return 1;
  PrintHeader("pool ns", "heap ns");
  ComparePool("unlocked", 0, heap, pairs);
  ComparePool("locked", POOL_LOCKED, heap, pairs);
  HeapDestroy(heap);
  return 0;
}
