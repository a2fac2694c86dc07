// Linked into a test copy of the utility, never into the utility itself:
// with ZEL_ALLOCATION_BUDGET=N in the environment every heap allocation
// after the first N fails, from the first step of start-up on, so that a
// test can reach each of the program's out-of-memory paths.
#include <windows.h>

#include <stdlib.h>

#include "core/kernel.h"

namespace {

struct AllocationBudget {
  AllocationBudget() {
    char text[32] = {};
    if (GetEnvironmentVariableA("ZEL_ALLOCATION_BUDGET", text, sizeof text)) KernelFailAllocationsAfter(atol(text));
  }
};

const AllocationBudget allocationBudget;

}  // namespace
