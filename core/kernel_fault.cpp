// Shared by both kernel implementations: injected allocation failures for
// tests of the out-of-memory paths (one atomic load per allocation), and
// the notice a fatal stop shows besides its line on standard error.
#include "core/kernel.h"

#include <atomic>

static std::atomic<KernelFatalNotice> fatalNotice{nullptr};

void KernelFatalNoticeSet(KernelFatalNotice notice) { fatalNotice.store(notice); }

void KernelFatalNoticeShow(const char* line) {
  // Taken on first use: a second stop while the notice is showing (its
  // message loop runs the program's window procedures) ends at once.
  KernelFatalNotice notice = fatalNotice.exchange(nullptr);
  if (notice) notice(line);
}

static std::atomic<long> allocationsBeforeFailure{-1};

void KernelFailAllocationsAfter(long count) {
  allocationsBeforeFailure.store(count < 0 ? -1 : count);
}

int KernelAllocationMustFail(void) {
  long left = allocationsBeforeFailure.load(std::memory_order_relaxed);
  while (left >= 0) {
    if (left == 0) return 1;
    if (allocationsBeforeFailure.compare_exchange_weak(left, left - 1)) return 0;
  }
  return 0;
}
