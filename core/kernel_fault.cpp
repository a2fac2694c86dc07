// Injected allocation failures for tests of the out-of-memory paths. Shared
// by both kernel implementations; costs one atomic load per allocation.
#include "core/kernel.h"

#include <atomic>

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
