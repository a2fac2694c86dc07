// The process heap: the private heap that holds every record of every
// library (registries, state records, pools, window and gadget records).
//
// ProcessHeapStart is the first step of start-up; ProcessHeapEnd destroys the
// heap, and with it every record, at shut-down. Nothing is freed one by one
// before that.
#pragma once

#include "core/kernel.h"

// Creates the heap (HeapCreate(0, 4096, 0)). Stops the process through
// KernelFatal when even that fails: nothing could run without it.
void ProcessHeapStart(void);
KernelHeap ProcessHeap(void);
void ProcessHeapEnd(void);
