// POSIX implementation of the kernel seam (native Linux builds).
//
// A private heap is a spin lock, a ring of malloc'ed blocks and a set of
// spare lists. Each block sits behind a small header that remembers the size
// asked for and the size malloc gave, so that realloc can zero the grown tail
// and destroy can free everything.
//
// Freed blocks of up to SPARE_MAX_SIZE bytes are kept on spare lists, one
// per size class, up to SPARE_BYTES_LIMIT per heap, and handed out again
// before malloc is asked: block pools give chunks back as soon as they are
// empty and take new ones moments later, and a round trip through malloc
// costs several times more than a list push and pop (glibc also trims the
// top of its heap after a large free, so that the next burst pays page
// faults). Under AddressSanitizer a spare block is poisoned, and so is the
// slack behind every block's asked-for size, so a stale or overrunning
// access is still reported.
//
// The lock guards only the few pointer stores that link or unlink a block
// (malloc, free and realloc run outside it), so a waiter spins briefly and
// then yields; an uncontended enter and leave is one exchange and one plain
// store, against two atomic operations and two calls for a pthread mutex.
#include "core/kernel.h"

#include <pthread.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KERNEL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(KERNEL_ASAN)
#define KERNEL_ASAN 1
#endif
#if defined(KERNEL_ASAN)
#include <sanitizer/asan_interface.h>
#define KERNEL_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define KERNEL_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define KERNEL_POISON(address, size) ((void)(address), (void)(size))
#define KERNEL_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

enum : size_t {
  SPARE_GRAIN = 64,        // size classes are multiples of this
  SPARE_MAX_SIZE = 16384,  // larger blocks go straight back to free
  SPARE_CLASSES = SPARE_MAX_SIZE / SPARE_GRAIN,
  SPARE_BYTES_LIMIT = 1 << 20,  // what one heap may keep on its spare lists
};

struct BlockHeader {
  BlockHeader* next;  // ring neighbour, or next block on a spare list
  BlockHeader* prev;
  size_t size;        // as asked for; what KernelHeapSize reports
  size_t capacity;    // payload bytes malloc gave: the size class, or size
};                    // (four words: the payload stays 16-byte aligned)

// The ring's anchor lives in the heap record, so linking and unlinking never
// test for an end.
struct PosixHeap {
  std::atomic<int> busy;  // 1 while a thread holds the heap
  BlockHeader ring;       // anchor: next is the newest block, prev the oldest
  size_t spareBytes;      // capacity held on the spare lists
  BlockHeader* spare[SPARE_CLASSES];  // class i: capacity (i + 1) * SPARE_GRAIN
};

// Small sizes are rounded up to their class so that any block of a class
// can serve any request of it.
size_t CapacityFor(size_t size) {
  if (size > SPARE_MAX_SIZE) return size;
  return size == 0 ? SPARE_GRAIN : (size + SPARE_GRAIN - 1) & ~(size_t{SPARE_GRAIN} - 1);
}

size_t SpareClass(size_t capacity) { return capacity / SPARE_GRAIN - 1; }

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

// Makes exactly the asked-for bytes addressable (a no-op without ASan).
void ExposePayload(BlockHeader* block) {
  KERNEL_POISON(block + 1, block->capacity);
  KERNEL_UNPOISON(block + 1, block->size);
}

// Takes a spare block of this capacity into the ring, or gives null.
BlockHeader* SpareTake(PosixHeap* heap, size_t capacity) {
  if (capacity > SPARE_MAX_SIZE) return nullptr;
  HeapEnter(heap);
  BlockHeader** list = &heap->spare[SpareClass(capacity)];
  BlockHeader* block = *list;
  if (block) {
    *list = block->next;
    heap->spareBytes -= capacity;
    Link(heap, block);
  }
  HeapLeave(heap);
  return block;
}

void FreeAll(BlockHeader* block) {
  KERNEL_UNPOISON(block + 1, block->capacity);
  free(block);
}

}  // namespace

KernelHeap KernelHeapCreate(size_t) {
  if (KernelAllocationMustFail()) return nullptr;
  PosixHeap* heap = static_cast<PosixHeap*>(calloc(1, sizeof(PosixHeap)));
  if (!heap) return nullptr;
  new (&heap->busy) std::atomic<int>(0);
  heap->ring.next = &heap->ring;
  heap->ring.prev = &heap->ring;
  return heap;
}

void KernelHeapDestroy(KernelHeap handle) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap) return;
  BlockHeader* block = heap->ring.next;
  while (block != &heap->ring) {
    BlockHeader* next = block->next;
    FreeAll(block);
    block = next;
  }
  for (BlockHeader* spare : heap->spare) {
    while (spare) {
      BlockHeader* next = spare->next;
      FreeAll(spare);
      spare = next;
    }
  }
  free(heap);
}

void* KernelHeapAlloc(KernelHeap handle, size_t size, int zero) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || KernelAllocationMustFail()) return nullptr;
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  size_t capacity = CapacityFor(size);
  BlockHeader* block = SpareTake(heap, capacity);
  if (block) {
    block->size = size;
    ExposePayload(block);
    if (zero) memset(block + 1, 0, size);
    return block + 1;
  }
  block = static_cast<BlockHeader*>(zero ? calloc(1, sizeof(BlockHeader) + capacity)
                                         : malloc(sizeof(BlockHeader) + capacity));
  if (!block) return nullptr;
  block->size = size;
  block->capacity = capacity;
  ExposePayload(block);
  HeapEnter(heap);
  Link(heap, block);
  HeapLeave(heap);
  return block + 1;
}

// Within the block's size class only the recorded size changes. Otherwise
// the block leaves the ring while realloc may move it, so that the lock is
// not held across the copy; on failure the old block goes back in.
void* KernelHeapReAlloc(KernelHeap handle, void* payload, size_t size, int zeroTail) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || !payload || KernelAllocationMustFail()) return nullptr;
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  BlockHeader* old = static_cast<BlockHeader*>(payload) - 1;
  size_t oldSize = old->size;
  size_t capacity = CapacityFor(size);
  BlockHeader* block = old;
  if (capacity != old->capacity) {
    HeapEnter(heap);
    Unlink(old);
    HeapLeave(heap);
    KERNEL_UNPOISON(old + 1, old->capacity);  // realloc copies all of it
    block = static_cast<BlockHeader*>(realloc(old, sizeof(BlockHeader) + capacity));
    if (block) block->capacity = capacity;
    HeapEnter(heap);
    Link(heap, block ? block : old);
    HeapLeave(heap);
    if (!block) {
      ExposePayload(old);
      return nullptr;
    }
  }
  block->size = size;
  ExposePayload(block);
  if (zeroTail && size > oldSize) memset(reinterpret_cast<char*>(block + 1) + oldSize, 0, size - oldSize);
  return block + 1;
}

void KernelHeapFree(KernelHeap handle, void* payload) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap || !payload) return;
  BlockHeader* block = static_cast<BlockHeader*>(payload) - 1;
  size_t capacity = block->capacity;
  bool kept = false;
  HeapEnter(heap);
  Unlink(block);
  if (capacity <= SPARE_MAX_SIZE && heap->spareBytes + capacity <= SPARE_BYTES_LIMIT) {
    BlockHeader** list = &heap->spare[SpareClass(capacity)];
    block->next = *list;
    *list = block;
    heap->spareBytes += capacity;
    // Inside the lock: once it is left another thread may take the block.
    KERNEL_POISON(block + 1, capacity);
    kept = true;
  }
  HeapLeave(heap);
  if (!kept) FreeAll(block);
}

size_t KernelHeapSize(KernelHeap handle, void* payload) {
  if (!handle || !payload) return 0;
  return (static_cast<BlockHeader*>(payload) - 1)->size;
}

// The ring's links agree both ways and every block fits its capacity; every
// spare block sits on its own class's list, and the lists add up to the
// recorded total, within the limit.
int KernelHeapValidate(KernelHeap handle) {
  PosixHeap* heap = static_cast<PosixHeap*>(handle);
  if (!heap) return 0;
  HeapEnter(heap);
  int valid = 1;
  BlockHeader* block = &heap->ring;
  do {
    if (block->next->prev != block) { valid = 0; break; }
    block = block->next;
    if (block != &heap->ring && (block->size > block->capacity || CapacityFor(block->size) != block->capacity)) {
      valid = 0;
      break;
    }
  } while (block != &heap->ring);
  size_t spareBytes = 0;
  for (size_t i = 0; valid && i < SPARE_CLASSES; i++) {
    for (BlockHeader* spare = heap->spare[i]; spare; spare = spare->next) {
      if (spare->capacity != (i + 1) * SPARE_GRAIN) { valid = 0; break; }
      spareBytes += spare->capacity;
    }
  }
  if (spareBytes != heap->spareBytes || spareBytes > SPARE_BYTES_LIMIT) valid = 0;
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
