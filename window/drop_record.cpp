// Drop records. See drop_record.h. The outstanding records are few (a drop
// is consumed by the next wait), so a small fixed table is the whole index
// and the check is a handful of comparisons.
#include "window/drop_record.h"

#include "core/process_heap.h"

static DropRecord* outstanding[DROP_RECORD_LIMIT];

static DropRecord** DropRecordSlot(const void* record) {
  if (!record) return nullptr;
  for (DropRecord*& slot : outstanding)
    if (slot == record) return &slot;
  return nullptr;
}

DropRecord* DropRecordCreate(size_t bufferSize) {
  DropRecord** slot = nullptr;
  for (DropRecord*& candidate : outstanding)
    if (!candidate) {
      slot = &candidate;
      break;
    }
  if (!slot) return nullptr;
  DropRecord* record = static_cast<DropRecord*>(KernelHeapAlloc(ProcessHeap(), sizeof(DropRecord), 1));
  if (!record) return nullptr;
  if (bufferSize) {
    record->buffer = KernelHeapAlloc(ProcessHeap(), bufferSize, 1);
    if (!record->buffer) {
      KernelHeapFree(ProcessHeap(), record);
      return nullptr;
    }
  }
  *slot = record;
  return record;
}

int DropRecordIsOwn(const void* record) { return DropRecordSlot(record) != nullptr; }

void DropRecordRelease(void* record) {
  DropRecord** slot = DropRecordSlot(record);
  if (!slot) return;
  DropRecord* own = *slot;
  *slot = nullptr;
  if (own->buffer) KernelHeapFree(ProcessHeap(), own->buffer);
  KernelHeapFree(ProcessHeap(), own);
}
