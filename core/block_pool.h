// Block pools: fixed-size blocks carved from chunks of the process heap,
// reused last-in first-out, a chunk returned to the heap as soon as every
// block it handed out is back. A pool is private or shared (found by rounded
// block size and exact flags, reference counted), with or without a lock.
#pragma once

#include <stdint.h>

#include "core/kernel.h"

enum {
  POOL_LOCKED = 1,  // low two bits equal to 1: the pool has its own lock
  POOL_UNLOCKED = 2,  // no lock, even with POOL_LOCKED (the event queue's pool)
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
// Payload of one block (contents undefined), or null for a null pool or when
// not even a one-block chunk can be had.
void* BlockPoolAlloc(BlockPool* pool);
// A null pool or payload is ignored.
void BlockPoolFree(BlockPool* pool, void* payload);
void BlockPoolClear(BlockPool* pool);
void BlockPoolRelease(BlockPool* pool);
