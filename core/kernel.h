// The kernel seam: the portable core's only contact with the operating system.
//
// Private heaps, a lock, once-only initialisation, the few atomics its
// fallback needs, and the fatal stop. kernel_win32.cpp implements it on
// HeapCreate & co., kernel_posix.cpp on malloc and pthreads. No other core
// file includes windows.h or a POSIX header for these services.
//
// Every allocation made through the seam can be made to fail on purpose
// (KernelFailAllocationsAfter) so that tests reach the out-of-memory paths.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef void* KernelHeap;

// HeapCreate(0, initialSize, 0): serialised, growable. Null on failure.
KernelHeap KernelHeapCreate(size_t initialSize);
void KernelHeapDestroy(KernelHeap heap);
// zero != 0 asks for zero-filled memory. Null on failure.
void* KernelHeapAlloc(KernelHeap heap, size_t size, int zero);
// Keeps the contents; with zeroTail != 0 the bytes added by growth are zero.
// Null on failure, and the old block stays valid.
void* KernelHeapReAlloc(KernelHeap heap, void* block, size_t size, int zeroTail);
void KernelHeapFree(KernelHeap heap, void* block);
// The size the block was allocated with (HeapSize); lets tests check the
// exact allocations that the string buffer promises.
size_t KernelHeapSize(KernelHeap heap, void* block);
// Non-zero when the heap's bookkeeping is intact (HeapValidate).
int KernelHeapValidate(KernelHeap heap);

// A recursive lock (CRITICAL_SECTION on Windows). Its storage is opaque so
// that records holding one need no platform header.
struct KernelLock {
  alignas(16) unsigned char storage[64];
};
void KernelLockInit(KernelLock* lock);
void KernelLockEnter(KernelLock* lock);
void KernelLockLeave(KernelLock* lock);
void KernelLockDelete(KernelLock* lock);

typedef void (*KernelOnceRoutine)(void);
// Runs routine through the platform's own once-only primitive on onceWord
// (InitOnceExecuteOnce, looked up at run time). Returns 0 without running
// anything when the platform has none; the caller then falls back to the
// compare-exchange protocol below.
int KernelInitOnceExecute(void** onceWord, KernelOnceRoutine routine);

// Full-barrier atomics on a 32-bit word; both return the previous value.
int32_t KernelAtomicCompareExchange32(volatile int32_t* target, int32_t exchange, int32_t comparand);
int32_t KernelAtomicExchange32(volatile int32_t* target, int32_t value);
int32_t KernelAtomicLoad32(volatile int32_t* target);
// Gives up the rest of the time slice (Sleep(0)).
void KernelYield(void);

// Exit code of a process stopped by KernelFatal.
enum { KERNEL_FATAL_EXIT_CODE = 3 };

// Ends the process at once with KERNEL_FATAL_EXIT_CODE, after writing one
// line naming the reason ("fatal: <reason>") to the standard error stream
// when there is one, and handing the same line to the installed notice.
// Used where the system cannot go on safely (the string heap is exhausted).
[[noreturn]] void KernelFatal(const char* reason);

// A program without a console (a window program started from a desktop
// shell) has nobody reading its standard error, so it installs a routine
// that shows the line in its own way before the process ends. Null, the
// default, shows nothing more. The seam itself stays free of any window
// system.
typedef void (*KernelFatalNotice)(const char* line);
void KernelFatalNoticeSet(KernelFatalNotice notice);
// Used by the two implementations: runs the installed notice with the line
// (no line end), once per process; a stop during the notice skips it.
void KernelFatalNoticeShow(const char* line);

// Test hook: after `count` more successful heap allocations (alloc, realloc
// or heap creation) every further one fails, until called again; a negative
// count (the default) never fails.
void KernelFailAllocationsAfter(long count);
// Used by the two implementations: consumes one allocation of the budget and
// returns non-zero when this allocation must fail.
int KernelAllocationMustFail(void);
