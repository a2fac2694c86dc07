// Block pools: fixed-size blocks carved from chunks of the process heap,
// reused last-in first-out, a chunk returned to the heap as soon as every
// block it handed out is back. A pool is private or shared (found by rounded
// block size and exact flags, reference counted), with or without a lock.
#pragma once

#include <stdint.h>

#include "core/kernel.h"

enum {
  POOL_LOCKED = 1,  // low two bits equal to 1: the pool has its own lock
  POOL_SHARED = 4,  // find or create the pool in the shared-pool list
};

// Each block starts with one pointer-sized word: its chunk while the block is
// out, the next free block while it is on the chunk's free list.
enum { POOL_BLOCK_HEADER_SIZE = 8 };

struct BlockChunk {
  BlockChunk* next;  // next chunk in the same list
  BlockChunk* prev;  // previous chunk; null at the list's head
  void* freeList;    // header word of the most recently returned block, or null
  int32_t blockCount;
  int32_t carved;    // blocks handed out from the untouched tail so far
  int32_t freeCount; // blocks on freeList
};

struct SharedPoolEntry;

struct BlockPool {
  BlockChunk* fullChunks;       // chunks that cannot hand out a block
  BlockChunk* availableChunks;  // chunks that can hand out at least one
  SharedPoolEntry* sharedEntry; // set only for a shared pool
  int64_t totalBlocks;          // sum of the block counts of all chunks
  int32_t blockSize;            // rounded, 8-byte header word included
  int32_t minPerChunk;
  int32_t maxPerChunk;
  int32_t locked;               // 1 when lock is in use
  KernelLock lock;
};

struct SharedPoolEntry {
  SharedPoolEntry* next;
  SharedPoolEntry* prev;
  BlockPool* pool;
  int32_t blockSize;  // rounded
  int32_t flags;      // exactly as passed to BlockPoolCreate, POOL_SHARED included
  int32_t useCount;
};

BlockPool* BlockPoolCreate(int32_t size, int32_t minPerChunk, int32_t maxPerChunk, int32_t flags);
// The whole of allocate and free, for every case: a null or locked pool, a
// new chunk, a chunk that moves between the lists or goes back to the heap.
void* BlockPoolAllocSlow(BlockPool* pool);
void BlockPoolFreeSlow(BlockPool* pool, void* payload);

// The common case of allocate, inline so that a caller such as the event
// queue pays no call for it: an unlocked pool whose head chunk still has a
// block left after this one. Null when that does not hold; the caller then
// takes BlockPoolAllocSlow, which may still find a block.
inline void* BlockPoolAllocFast(BlockPool* pool) {
  if (!pool || pool->locked) return nullptr;
  BlockChunk* chunk = pool->availableChunks;
  if (!chunk) return nullptr;
  char* block;
  if (chunk->freeCount > 0) {  // the free list before the untouched tail
    if (chunk->freeCount == 1 && chunk->carved >= chunk->blockCount) return nullptr;
    block = static_cast<char*>(chunk->freeList);
    chunk->freeList = *reinterpret_cast<void**>(block);
    chunk->freeCount--;
  } else {
    if (chunk->carved + 1 >= chunk->blockCount) return nullptr;
    block = reinterpret_cast<char*>(chunk + 1) + static_cast<size_t>(chunk->carved) * static_cast<size_t>(pool->blockSize);
    chunk->carved++;
  }
  *reinterpret_cast<BlockChunk**>(block) = chunk;
  return block + POOL_BLOCK_HEADER_SIZE;
}

// The common case of free: an unlocked pool, and the block's chunk stays on
// its list (other blocks of it are still out, and it could hand out a block
// before this one came back). Returns 0 without touching anything when that
// does not hold; the caller then takes BlockPoolFreeSlow.
inline int BlockPoolFreeFast(BlockPool* pool, void* payload) {
  if (!pool || !payload || pool->locked) return 0;
  char* block = static_cast<char*>(payload) - POOL_BLOCK_HEADER_SIZE;
  BlockChunk* chunk = *reinterpret_cast<BlockChunk**>(block);
  if (chunk->freeCount + 1 >= chunk->carved) return 0;
  if (chunk->freeCount == 0 && chunk->carved >= chunk->blockCount) return 0;
  *reinterpret_cast<void**>(block) = chunk->freeList;
  chunk->freeList = block;
  chunk->freeCount++;
  return 1;
}

// Payload of one block (contents undefined), or null when not even a
// one-block chunk can be had.
inline void* BlockPoolAlloc(BlockPool* pool) {
  void* payload = BlockPoolAllocFast(pool);
  return payload ? payload : BlockPoolAllocSlow(pool);
}

inline void BlockPoolFree(BlockPool* pool, void* payload) {
  if (!BlockPoolFreeFast(pool, payload)) BlockPoolFreeSlow(pool, payload);
}

void BlockPoolClear(BlockPool* pool);
void BlockPoolRelease(BlockPool* pool);
