// Helpers for tests that make the kernel's allocations fail on purpose.
//
// FailureBudgetReset, placed at the top of a test, gives every allocation
// back to the real heap when the test ends, even when an assertion ends it
// early; IsAllZero checks a record the registries promise to hand out
// zero-filled.
#pragma once

#include <stddef.h>

#include "core/kernel.h"

struct FailureBudgetReset {
  ~FailureBudgetReset() { KernelFailAllocationsAfter(-1); }
};

inline bool IsAllZero(const void* memory, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(memory);
  for (size_t i = 0; i < size; i++) {
    if (bytes[i]) return false;
  }
  return true;
}
