// POSIX implementation of the kernel seam (native Linux builds).
//
// A private heap is a spin lock and a ring of malloc'ed blocks, each behind
// a small header that remembers its size, so that realloc can zero the grown
// tail and destroy can free everything. Every block is its own malloc, so
// AddressSanitizer sees overruns of each one.
//
// The lock guards only the few pointer stores that link or unlink a block
// (malloc, free and realloc run outside it), so a waiter spins briefly and
// then yields; an uncontended enter and leave is one exchange and one plain
// store, against two atomic operations and two calls for a pthread mutex.
// Block pools create and free chunks in bursts, which made that difference
// show.
#include "core/kernel.h"

#include <pthread.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <new>

namespace {

struct BlockHeader {
  BlockHeader* next;
  BlockHeader* prev;
  size_t size;
  size_t pad;  // keeps the payload 16-byte aligned
};

// The ring's anchor lives in the heap record, so linking and unlinking never
// test for an end.
struct PosixHeap {
  std::atomic<int> busy;  // 1 while a thread holds the heap
  BlockHeader ring;       // anchor: next is the newest block, prev the oldest
};

void HeapEnter(PosixHeap* heap) {
  while (heap->busy.exchange(1, std::memory_order_acquire)) {
    while (heap->busy.load(std::memory_order_relaxed)) sched_yield();
  }
}

void HeapLeave(PosixHeap* heap) { heap->busy.store(0, std::memory_order_release); }

void Link(PosixHeap* heap, BlockHeader* block) {
  BlockHeader* first = heap->ring.next;
  block->next = first;
  block->prev = &heap->ring;
  first->prev = block;
  heap->ring.next = block;
}

void Unlink(BlockHeader* block) {
  block->prev->next = block->next;
  block->next->prev = block->prev;
}

}  // namespace

KernelHeap KernelHeapCreate(size_t) {
  if (KernelAllocationMustFail()) return nullptr;
  PosixHeap* heap = static_cast<PosixHeap*>(malloc(sizeof(PosixHeap)));
  if (!heap) return nullptr;
  new (&heap->busy) std::atomic<int>(0);
  heap->ring.next = &heap->ring;
  heap->ring.prev = &heap->ring;
  heap->ring.size = 0;
  heap->ring.pad = 0;
  return heap;
}

void KernelHeapDestroy(KernelHeap handle) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap) return;
  BlockHeader* block = heap->ring.next;
  while (block != &heap->ring) {
    BlockHeader* next = block->next;
    free(block);
    block = next;
  }
  free(heap);
}

void* KernelHeapAlloc(KernelHeap handle, size_t size, int zero) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || KernelAllocationMustFail()) return nullptr;
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  BlockHeader* block = static_cast<BlockHeader*>(
      zero ? calloc(1, sizeof(BlockHeader) + size) : malloc(sizeof(BlockHeader) + size));
  if (!block) return nullptr;
  block->size = size;
  HeapEnter(heap);
  Link(heap, block);
  HeapLeave(heap);
  return block + 1;
}

// The block leaves the ring while realloc may move it, so that the lock is
// not held across the copy; on failure the old block goes back in.
void* KernelHeapReAlloc(KernelHeap handle, void* payload, size_t size, int zeroTail) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || !payload || KernelAllocationMustFail()) return nullptr;
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  BlockHeader* old = static_cast<BlockHeader*>(payload) - 1;
  size_t oldSize = old->size;
  HeapEnter(heap);
  Unlink(old);
  HeapLeave(heap);
  BlockHeader* block = static_cast<BlockHeader*>(realloc(old, sizeof(BlockHeader) + size));
  if (block) block->size = size;
  HeapEnter(heap);
  Link(heap, block ? block : old);
  HeapLeave(heap);
  if (!block) return nullptr;
  if (zeroTail && size > oldSize) memset(reinterpret_cast<char*>(block + 1) + oldSize, 0, size - oldSize);
  return block + 1;
}

void KernelHeapFree(KernelHeap handle, void* payload) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || !payload) return;
  BlockHeader* block = static_cast<BlockHeader*>(payload) - 1;
  HeapEnter(heap);
  Unlink(block);
  HeapLeave(heap);
  free(block);
}

size_t KernelHeapSize(KernelHeap handle, void* payload) {
  if (!handle || !payload) return 0;
  return (static_cast<BlockHeader*>(payload) - 1)->size;
}

int KernelHeapValidate(KernelHeap handle) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap) return 0;
  HeapEnter(heap);
  int valid = 1;
  BlockHeader* block = &heap->ring;
  do {
    if (block->next->prev != block) { valid = 0; break; }
    block = block->next;
  } while (block != &heap->ring);
  HeapLeave(heap);
  return valid;
}

static_assert(sizeof(pthread_mutex_t) <= sizeof(KernelLock::storage), "KernelLock too small");

void KernelLockInit(KernelLock* lock) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(reinterpret_cast<pthread_mutex_t*>(lock->storage), &attributes);
  pthread_mutexattr_destroy(&attributes);
}

void KernelLockEnter(KernelLock* lock) { pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(lock->storage)); }
void KernelLockLeave(KernelLock* lock) { pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(lock->storage)); }
void KernelLockDelete(KernelLock* lock) { pthread_mutex_destroy(reinterpret_cast<pthread_mutex_t*>(lock->storage)); }

// POSIX has no once primitive on a caller-supplied pointer word; the
// compare-exchange fallback serves.
int KernelInitOnceExecute(void**, KernelOnceRoutine) { return 0; }

int32_t KernelAtomicCompareExchange32(volatile int32_t* target, int32_t exchange, int32_t comparand) {
  return __sync_val_compare_and_swap(target, comparand, exchange);
}

int32_t KernelAtomicExchange32(volatile int32_t* target, int32_t value) {
  __sync_synchronize();
  int32_t previous = __sync_lock_test_and_set(target, value);
  __sync_synchronize();
  return previous;
}

int32_t KernelAtomicLoad32(volatile int32_t* target) { return __sync_fetch_and_add(target, 0); }

void KernelYield(void) { sched_yield(); }

void KernelFatal(const char* reason) {
  char line[256];
  int length = snprintf(line, sizeof line, "fatal: %s\n", reason ? reason : "unrecoverable error");
  if (length > 0) {
    ssize_t ignored = write(2, line, (size_t)length < sizeof line ? (size_t)length : sizeof line - 1);
    (void)ignored;
  }
  _exit(KERNEL_FATAL_EXIT_CODE);
}
