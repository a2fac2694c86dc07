// POSIX implementation of the kernel seam (native Linux builds).
//
// A private heap is a mutex and a ring of blocks, each its own malloc behind
// a small header that remembers the size asked for, so that realloc can zero
// the grown tail, destroy can free everything, and AddressSanitizer sees
// every block exactly as the caller does.
#include "core/kernel.h"

#include <pthread.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

namespace {

// Aligned so that the payload behind it keeps malloc's 16-byte alignment.
struct alignas(16) BlockHeader {
  BlockHeader* next;  // ring neighbours
  BlockHeader* prev;
  size_t size;        // as asked for; what KernelHeapSize reports
};

// The ring's anchor lives in the heap record, so linking never tests for an end.
struct PosixHeap {
  pthread_mutex_t mutex;
  BlockHeader ring;
};

BlockHeader* HeaderOf(void* payload) { return static_cast<BlockHeader*>(payload) - 1; }

// Makes the neighbours point at block, where it now is.
void Relink(BlockHeader* block) {
  block->next->prev = block;
  block->prev->next = block;
}

}  // namespace

KernelHeap KernelHeapCreate(size_t) {
  if (KernelAllocationMustFail()) return nullptr;
  PosixHeap* heap = static_cast<PosixHeap*>(calloc(1, sizeof(PosixHeap)));
  if (!heap) return nullptr;
  pthread_mutex_init(&heap->mutex, nullptr);
  heap->ring.next = &heap->ring;
  heap->ring.prev = &heap->ring;
  return heap;
}

void KernelHeapDestroy(KernelHeap handle) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap) return;
  for (BlockHeader* block = heap->ring.next; block != &heap->ring;) {
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
  size_t bytes = sizeof(BlockHeader) + size;
  BlockHeader* block = static_cast<BlockHeader*>(zero ? calloc(1, bytes) : malloc(bytes));
  if (!block) return nullptr;
  block->size = size;
  pthread_mutex_lock(&heap->mutex);
  block->next = heap->ring.next;
  block->prev = &heap->ring;
  Relink(block);
  pthread_mutex_unlock(&heap->mutex);
  return block + 1;
}

// The lock is held across realloc: a block that moves leaves its neighbours
// pointing at freed memory until it is relinked.
void* KernelHeapReAlloc(KernelHeap handle, void* payload, size_t size, int zeroTail) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || !payload || KernelAllocationMustFail()) return nullptr;
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  size_t oldSize = HeaderOf(payload)->size;
  pthread_mutex_lock(&heap->mutex);
  BlockHeader* block = static_cast<BlockHeader*>(realloc(HeaderOf(payload), sizeof(BlockHeader) + size));
  if (block) Relink(block);
  pthread_mutex_unlock(&heap->mutex);
  if (!block) return nullptr;
  block->size = size;
  if (zeroTail && size > oldSize) memset(reinterpret_cast<char*>(block + 1) + oldSize, 0, size - oldSize);
  return block + 1;
}

void KernelHeapFree(KernelHeap handle, void* payload) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || !payload) return;
  BlockHeader* block = HeaderOf(payload);
  pthread_mutex_lock(&heap->mutex);
  block->prev->next = block->next;
  block->next->prev = block->prev;
  pthread_mutex_unlock(&heap->mutex);
  free(block);
}

size_t KernelHeapSize(KernelHeap handle, void* payload) {
  if (!handle || !payload) return 0;
  return HeaderOf(payload)->size;
}

// The ring's links agree both ways.
int KernelHeapValidate(KernelHeap handle) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap) return 0;
  pthread_mutex_lock(&heap->mutex);
  int valid = 1;
  BlockHeader* block = &heap->ring;
  do {
    if (block->next->prev != block) valid = 0;
    block = block->next;
  } while (valid && block != &heap->ring);
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
    char* end = strchr(line, '\n');
    if (end) *end = 0;
    KernelFatalNoticeShow(line);
  }
  _exit(KERNEL_FATAL_EXIT_CODE);
}
