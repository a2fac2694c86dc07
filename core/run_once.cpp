// Once-only initialisation. The platform's own primitive is preferred; where
// it is missing, a compare-exchange on the low 32 bits of the once-word runs
// the routine (0 untouched, 1 running, 2 done) and late callers spin with a
// yield until it is done, so nobody returns before the routine finished.
// A once-word must be driven by one of the two paths only: the platform
// primitive keeps its own state in the same word.
#include "core/run_once.h"

void RunOnceByCompareExchange(void** onceWord, KernelOnceRoutine routine) {
  // The low half of the pointer-sized word on every little-endian target.
  volatile int32_t* state = reinterpret_cast<volatile int32_t*>(onceWord);
  int32_t previous = KernelAtomicCompareExchange32(state, 1, 0);
  if (previous == 0) {
    routine();
    KernelAtomicExchange32(state, 2);
    return;
  }
  while (KernelAtomicLoad32(state) != 2) KernelYield();
}

void RunOnce(void** onceWord, KernelOnceRoutine routine) {
  if (!onceWord || !routine) return;
  if (KernelInitOnceExecute(onceWord, routine)) return;
  RunOnceByCompareExchange(onceWord, routine);
}
