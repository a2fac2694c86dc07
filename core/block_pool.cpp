// Block pools. See block_pool.h for the contract.
//
// A chunk is one heap allocation: its header, then blockCount blocks. A
// block is a header word and the caller's payload; the header word names the
// chunk while the block is out and links the chunk's free list while it is
// in. New chunks are never threaded onto a free list: the untouched tail is
// carved one block at a time, and returned blocks go before the tail, last
// in first out, so the memory touched most recently is reused first.
//
// The shared-pool list is created on first use through RunOnce and guarded
// by its own lock; the order is always that lock first, then a pool's lock.
#include "core/block_pool.h"

#include "core/process_heap.h"
#include "core/run_once.h"

namespace {

SharedPoolEntry* sharedPoolHead;
KernelLock sharedPoolLock;
void* sharedPoolOnce;

void SharedPoolListInit(void) {
  KernelLockInit(&sharedPoolLock);
  sharedPoolHead = nullptr;
}

void ChunkUnlink(BlockChunk** head, BlockChunk* chunk) {
  if (chunk->next) chunk->next->prev = chunk->prev;
  if (*head == chunk) *head = chunk->next;
  else if (chunk->prev) chunk->prev->next = chunk->next;
}

void ChunkPushFront(BlockChunk** head, BlockChunk* chunk) {
  chunk->prev = nullptr;
  chunk->next = *head;
  if (*head) (*head)->prev = chunk;
  *head = chunk;
}

char* ChunkBlock(BlockChunk* chunk, BlockPool* pool, int32_t blockNumber) {
  return reinterpret_cast<char*>(chunk + 1) + static_cast<size_t>(blockNumber) * static_cast<size_t>(pool->blockSize);
}

// Block count of the next chunk: a sixteenth of what the pool holds, in
// multiples of 16, within the pool's bounds.
int32_t NextChunkCount(const BlockPool* pool) {
  int32_t sixteenth = static_cast<int32_t>(pool->totalBlocks >> 4) & ~15;
  int32_t count = sixteenth < pool->minPerChunk ? pool->minPerChunk
                  : (sixteenth < pool->maxPerChunk ? sixteenth : pool->maxPerChunk);
  // Bounds below one would make a chunk that cannot hold the block it is made for.
  return count < 1 ? 1 : count;
}

// A block from a new chunk, or a one-block chunk when the heap cannot supply
// the full size; null when it cannot supply even that.
void* BlockTakeFromNewChunk(BlockPool* pool) {
  int32_t count = NextChunkCount(pool);
  size_t blockBytes = static_cast<size_t>(pool->blockSize);
  BlockChunk* chunk = static_cast<BlockChunk*>(KernelHeapAlloc(ProcessHeap(), sizeof(BlockChunk) + count * blockBytes, 0));
  if (!chunk && count > 1) {
    count = 1;
    chunk = static_cast<BlockChunk*>(KernelHeapAlloc(ProcessHeap(), sizeof(BlockChunk) + blockBytes, 0));
  }
  if (!chunk) return nullptr;
  chunk->blockCount = count;
  pool->totalBlocks += count;
  chunk->freeCount = 0;
  chunk->freeList = nullptr;
  chunk->carved = 1;
  ChunkPushFront(count > 1 ? &pool->availableChunks : &pool->fullChunks, chunk);
  char* block = ChunkBlock(chunk, pool, 0);
  *reinterpret_cast<BlockChunk**>(block) = chunk;
  return block + POOL_BLOCK_HEADER_SIZE;
}

// The free list always goes before the untouched tail.
void* BlockTake(BlockPool* pool) {
  BlockChunk* chunk = pool->availableChunks;
  if (!chunk) return BlockTakeFromNewChunk(pool);
  char* block;
  if (chunk->freeCount > 0) {
    block = static_cast<char*>(chunk->freeList);
    chunk->freeList = *reinterpret_cast<void**>(block);
    chunk->freeCount--;
  } else {
    block = ChunkBlock(chunk, pool, chunk->carved);
    chunk->carved++;
  }
  if (chunk->freeCount == 0 && chunk->carved >= chunk->blockCount) {
    ChunkUnlink(&pool->availableChunks, chunk);
    ChunkPushFront(&pool->fullChunks, chunk);
  }
  *reinterpret_cast<BlockChunk**>(block) = chunk;
  return block + POOL_BLOCK_HEADER_SIZE;
}

// Every block this chunk handed out is back: its untouched tail is not worth
// keeping the chunk for.
void ChunkRelease(BlockPool* pool, BlockChunk** list, BlockChunk* chunk) {
  ChunkUnlink(list, chunk);
  pool->totalBlocks -= chunk->blockCount;
  KernelHeapFree(ProcessHeap(), chunk);
}

void BlockReturn(BlockPool* pool, void* payload) {
  char* block = static_cast<char*>(payload) - POOL_BLOCK_HEADER_SIZE;
  BlockChunk* chunk = *reinterpret_cast<BlockChunk**>(block);
  *reinterpret_cast<void**>(block) = chunk->freeList;
  chunk->freeList = block;
  chunk->freeCount++;
  bool wasExhausted = chunk->carved >= chunk->blockCount && chunk->freeCount == 1;
  if (chunk->freeCount == chunk->carved) {
    ChunkRelease(pool, wasExhausted ? &pool->fullChunks : &pool->availableChunks, chunk);
  } else if (wasExhausted) {
    ChunkUnlink(&pool->fullChunks, chunk);
    ChunkPushFront(&pool->availableChunks, chunk);
  }
}

BlockPool* PrivatePoolCreate(int32_t blockSize, int32_t minPerChunk, int32_t maxPerChunk, int32_t flags) {
  BlockPool* pool = static_cast<BlockPool*>(KernelHeapAlloc(ProcessHeap(), sizeof(BlockPool), 0));
  if (!pool) return nullptr;
  pool->fullChunks = nullptr;
  pool->availableChunks = nullptr;
  pool->sharedEntry = nullptr;
  pool->totalBlocks = 0;
  pool->blockSize = blockSize;
  pool->minPerChunk = minPerChunk;
  pool->maxPerChunk = maxPerChunk;
  if ((flags & (POOL_LOCKED | POOL_UNLOCKED)) == POOL_LOCKED) {
    pool->locked = 1;
    KernelLockInit(&pool->lock);
  } else {
    pool->locked = 0;
  }
  return pool;
}

void PrivatePoolDestroy(BlockPool* pool) {
  BlockPoolClear(pool);
  if (pool->locked) KernelLockDelete(&pool->lock);
  KernelHeapFree(ProcessHeap(), pool);
}

}  // namespace

BlockPool* BlockPoolCreate(int32_t size, int32_t minPerChunk, int32_t maxPerChunk, int32_t flags) {
  // Sizes whose rounded block would not fit 32 bits name no sensible pool.
  if (size < 0 || size > INT32_MAX - 2 * POOL_BLOCK_HEADER_SIZE) return nullptr;
  int32_t blockSize = (size + POOL_BLOCK_HEADER_SIZE + 7) & ~7;
  if (!(flags & POOL_SHARED)) return PrivatePoolCreate(blockSize, minPerChunk, maxPerChunk, flags);

  RunOnce(&sharedPoolOnce, SharedPoolListInit);
  KernelLockEnter(&sharedPoolLock);
  for (SharedPoolEntry* entry = sharedPoolHead; entry; entry = entry->next) {
    if (entry->blockSize == blockSize && entry->flags == flags) {
      entry->useCount++;
      KernelLockLeave(&sharedPoolLock);
      return entry->pool;
    }
  }
  SharedPoolEntry* entry = static_cast<SharedPoolEntry*>(KernelHeapAlloc(ProcessHeap(), sizeof(SharedPoolEntry), 0));
  BlockPool* pool = entry ? PrivatePoolCreate(blockSize, minPerChunk, maxPerChunk, flags & ~POOL_SHARED) : nullptr;
  if (!pool) {
    KernelHeapFree(ProcessHeap(), entry);
    KernelLockLeave(&sharedPoolLock);
    return nullptr;
  }
  pool->sharedEntry = entry;
  entry->prev = nullptr;
  entry->pool = pool;
  entry->blockSize = blockSize;
  entry->flags = flags;
  entry->useCount = 1;
  entry->next = sharedPoolHead;
  if (sharedPoolHead) sharedPoolHead->prev = entry;
  sharedPoolHead = entry;
  KernelLockLeave(&sharedPoolLock);
  return pool;
}

void* BlockPoolAlloc(BlockPool* pool) {
  if (!pool) return nullptr;
  if (!pool->locked) return BlockTake(pool);
  KernelLockEnter(&pool->lock);
  void* payload = BlockTake(pool);
  KernelLockLeave(&pool->lock);
  return payload;
}

void BlockPoolFree(BlockPool* pool, void* payload) {
  if (!pool || !payload) return;
  if (!pool->locked) return BlockReturn(pool, payload);
  KernelLockEnter(&pool->lock);
  BlockReturn(pool, payload);
  KernelLockLeave(&pool->lock);
}

void BlockPoolClear(BlockPool* pool) {
  if (!pool) return;
  if (pool->locked) KernelLockEnter(&pool->lock);
  BlockChunk* lists[2] = {pool->availableChunks, pool->fullChunks};
  for (BlockChunk* chunk : lists) {
    while (chunk) {
      BlockChunk* next = chunk->next;
      KernelHeapFree(ProcessHeap(), chunk);
      chunk = next;
    }
  }
  pool->fullChunks = nullptr;
  pool->availableChunks = nullptr;
  pool->totalBlocks = 0;
  if (pool->locked) KernelLockLeave(&pool->lock);
}

void BlockPoolRelease(BlockPool* pool) {
  if (!pool) return;
  SharedPoolEntry* entry = pool->sharedEntry;
  if (!entry) {
    PrivatePoolDestroy(pool);
    return;
  }
  KernelLockEnter(&sharedPoolLock);
  entry->useCount--;
  if (entry->useCount <= 0) {
    pool->sharedEntry = nullptr;
    PrivatePoolDestroy(pool);
    if (entry->next) entry->next->prev = entry->prev;
    if (entry->prev) entry->prev->next = entry->next;
    if (sharedPoolHead == entry) sharedPoolHead = entry->next;
    KernelHeapFree(ProcessHeap(), entry);
  }
  KernelLockLeave(&sharedPoolLock);
}
