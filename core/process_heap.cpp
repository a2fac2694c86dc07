// The process heap. See process_heap.h.
#include "core/process_heap.h"

static KernelHeap processHeap;

void ProcessHeapStart(void) {
  processHeap = KernelHeapCreate(4096);
  if (!processHeap) KernelFatal("out of memory: cannot create the process heap");
}

KernelHeap ProcessHeap(void) { return processHeap; }

void ProcessHeapEnd(void) {
  KernelHeapDestroy(processHeap);
  processHeap = nullptr;
}
