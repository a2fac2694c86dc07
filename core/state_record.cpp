// Library state records: one zero-filled record per library on the process
// heap. They are never freed one by one; they end with the heap at exit.
#include "core/state_record.h"

#include "core/kernel.h"
#include "core/process_heap.h"

void* StateRecordCreate(int32_t size, StateRecordInit initialiser) {
  if (size < 0) return nullptr;
  void* record = KernelHeapAlloc(ProcessHeap(), static_cast<size_t>(size), 1);
  // A library must see a failed start rather than initialise nothing.
  if (!record) return nullptr;
  if (initialiser) initialiser(record);
  return record;
}
