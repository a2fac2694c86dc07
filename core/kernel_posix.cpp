// POSIX implementation of the kernel seam (native Linux builds).
//
// A private heap is a mutex and a list of malloc'ed blocks, each behind a
// small header that remembers its size, so that realloc can zero the grown
// tail and destroy can free everything. Every block is its own malloc, so
// AddressSanitizer sees overruns of each one.
#include "core/kernel.h"

#include <pthread.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

namespace {

struct BlockHeader {
  BlockHeader* next;
  BlockHeader* prev;
  size_t size;
  size_t pad;  // keeps the payload 16-byte aligned
};

struct PosixHeap {
  pthread_mutex_t mutex;
  BlockHeader* blocks;
};

void Link(PosixHeap* heap, BlockHeader* block) {
  block->prev = nullptr;
  block->next = heap->blocks;
  if (heap->blocks) heap->blocks->prev = block;
  heap->blocks = block;
}

void Unlink(PosixHeap* heap, BlockHeader* block) {
  if (block->prev) block->prev->next = block->next;
  else heap->blocks = block->next;
  if (block->next) block->next->prev = block->prev;
}

}  // namespace

KernelHeap KernelHeapCreate(size_t) {
  if (KernelAllocationMustFail()) return nullptr;
  PosixHeap* heap = static_cast<PosixHeap*>(calloc(1, sizeof(PosixHeap)));
  if (!heap) return nullptr;
  pthread_mutex_init(&heap->mutex, nullptr);
  return heap;
}

void KernelHeapDestroy(KernelHeap handle) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap) return;
  BlockHeader* block = heap->blocks;
  while (block) {
    BlockHeader* next = block->next;
    free(block);
    block = next;
  }
  pthread_mutex_destroy(&heap->mutex);
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
  pthread_mutex_lock(&heap->mutex);
  Link(heap, block);
  pthread_mutex_unlock(&heap->mutex);
  return block + 1;
}

void* KernelHeapReAlloc(KernelHeap handle, void* payload, size_t size, int zeroTail) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || !payload || KernelAllocationMustFail()) return nullptr;
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  BlockHeader* old = static_cast<BlockHeader*>(payload) - 1;
  pthread_mutex_lock(&heap->mutex);
  size_t oldSize = old->size;
  Unlink(heap, old);
  BlockHeader* block = static_cast<BlockHeader*>(realloc(old, sizeof(BlockHeader) + size));
  if (!block) {
    Link(heap, old);
    pthread_mutex_unlock(&heap->mutex);
    return nullptr;
  }
  block->size = size;
  Link(heap, block);
  pthread_mutex_unlock(&heap->mutex);
  if (zeroTail && size > oldSize) memset(reinterpret_cast<char*>(block + 1) + oldSize, 0, size - oldSize);
  return block + 1;
}

void KernelHeapFree(KernelHeap handle, void* payload) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || !payload) return;
  BlockHeader* block = static_cast<BlockHeader*>(payload) - 1;
  pthread_mutex_lock(&heap->mutex);
  Unlink(heap, block);
  pthread_mutex_unlock(&heap->mutex);
  free(block);
}

size_t KernelHeapSize(KernelHeap handle, void* payload) {
  if (!handle || !payload) return 0;
  return (static_cast<BlockHeader*>(payload) - 1)->size;
}

int KernelHeapValidate(KernelHeap handle) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap) return 0;
  pthread_mutex_lock(&heap->mutex);
  int valid = 1;
  for (BlockHeader* block = heap->blocks; block; block = block->next) {
    if (block->next && block->next->prev != block) { valid = 0; break; }
  }
  pthread_mutex_unlock(&heap->mutex);
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
