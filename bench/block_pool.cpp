// Block pool allocation against the C and C++ heaps, block for block of the
// same payload size, in the same run: single allocate+free pairs, and bursts
// of 1,000 allocations followed by 1,000 frees. The target is the Windows
// build's (bench/windows, against HeapAlloc); these figures are for reference.
//
// A pool whose last block comes back returns its chunk to the heap, so the
// pair benchmarks keep one block out ("warm"), as a queue that is in use
// does; PoolPairEmpty shows the price of a pair on an idle pool.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <vector>

#include "core/block_pool.h"
#include "core/process_heap.h"

namespace {

const int BURST = 1000;

void PoolPair(benchmark::State& state, int32_t flags) {
  BlockPool* pool = BlockPoolCreate(static_cast<int32_t>(state.range(0)), 16, 256, flags);
  void* resident = BlockPoolAlloc(pool);
  for (auto _ : state) {
    void* block = BlockPoolAlloc(pool);
    benchmark::DoNotOptimize(block);
    BlockPoolFree(pool, block);
  }
  BlockPoolFree(pool, resident);
  BlockPoolRelease(pool);
  state.SetItemsProcessed(state.iterations());
}

void PoolPairUnlocked(benchmark::State& state) { PoolPair(state, 2); }
void PoolPairLocked(benchmark::State& state) { PoolPair(state, POOL_LOCKED); }

void PoolPairEmpty(benchmark::State& state) {
  BlockPool* pool = BlockPoolCreate(static_cast<int32_t>(state.range(0)), 16, 256, 2);
  for (auto _ : state) {
    void* block = BlockPoolAlloc(pool);
    benchmark::DoNotOptimize(block);
    BlockPoolFree(pool, block);
  }
  BlockPoolRelease(pool);
  state.SetItemsProcessed(state.iterations());
}

void MallocPair(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* block = malloc(size);
    benchmark::DoNotOptimize(block);
    free(block);
  }
  state.SetItemsProcessed(state.iterations());
}

void NewPair(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    char* block = new char[size];
    benchmark::DoNotOptimize(block);
    delete[] block;
  }
  state.SetItemsProcessed(state.iterations());
}

void PoolBurst(benchmark::State& state) {
  BlockPool* pool = BlockPoolCreate(static_cast<int32_t>(state.range(0)), 16, 256, 2);
  std::vector<void*> blocks(BURST);
  for (auto _ : state) {
    for (int i = 0; i < BURST; i++) {
      blocks[i] = BlockPoolAlloc(pool);
      benchmark::DoNotOptimize(blocks[i]);
    }
    for (int i = 0; i < BURST; i++) BlockPoolFree(pool, blocks[i]);
  }
  BlockPoolRelease(pool);
  state.SetItemsProcessed(state.iterations() * BURST);
}

void MallocBurst(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  std::vector<void*> blocks(BURST);
  for (auto _ : state) {
    for (int i = 0; i < BURST; i++) {
      blocks[i] = malloc(size);
      benchmark::DoNotOptimize(blocks[i]);
    }
    for (int i = 0; i < BURST; i++) free(blocks[i]);
  }
  state.SetItemsProcessed(state.iterations() * BURST);
}

void NewBurst(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  std::vector<char*> blocks(BURST);
  for (auto _ : state) {
    for (int i = 0; i < BURST; i++) {
      blocks[i] = new char[size];
      benchmark::DoNotOptimize(blocks[i]);
    }
    for (int i = 0; i < BURST; i++) delete[] blocks[i];
  }
  state.SetItemsProcessed(state.iterations() * BURST);
}

// What one chunk costs the pool on the process heap: a burst from an empty
// pool takes about 42 chunks and gives all of them back.
void ProcessHeapChunkPair(benchmark::State& state) {
  const size_t chunkBytes = sizeof(BlockChunk) + 16 * ((static_cast<size_t>(state.range(0)) + 15) & ~size_t{7});
  for (auto _ : state) {
    void* chunk = KernelHeapAlloc(ProcessHeap(), chunkBytes, 0);
    benchmark::DoNotOptimize(chunk);
    KernelHeapFree(ProcessHeap(), chunk);
  }
  state.SetItemsProcessed(state.iterations());
}

// 56 bytes is the size of a queued event record; 16 and 256 bracket it.
#define PAYLOAD_SIZES ->Arg(16)->Arg(56)->Arg(256)
BENCHMARK(PoolPairUnlocked) PAYLOAD_SIZES;
BENCHMARK(PoolPairLocked) PAYLOAD_SIZES;
BENCHMARK(PoolPairEmpty) PAYLOAD_SIZES;
BENCHMARK(MallocPair) PAYLOAD_SIZES;
BENCHMARK(NewPair) PAYLOAD_SIZES;
BENCHMARK(PoolBurst) PAYLOAD_SIZES;
BENCHMARK(MallocBurst) PAYLOAD_SIZES;
BENCHMARK(NewBurst) PAYLOAD_SIZES;
BENCHMARK(ProcessHeapChunkPair) PAYLOAD_SIZES;

}  // namespace

int main(int argc, char** argv) {
  ProcessHeapStart();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
