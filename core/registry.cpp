// Numbered object registries. See registry.h for the contract.
//
// Numbered records live in a slot array that only grows; dynamic records are
// nodes of the registry's list, named by their payload address. Because a
// value outside the slot range would otherwise be dereferenced as an
// address, every live dynamic payload address is also kept in an
// open-addressing hash set (dynamicIndex); a value found neither in the slot
// range nor in the set is never touched. Numbers are kept below
// REGISTRY_SLOT_LIMIT so that the slot range stays below every address the
// platform can hand out and the two kinds of value can never be confused.
#include "core/registry.h"

#include <stddef.h>
#include <string.h>

#include "core/kernel.h"
#include "core/process_heap.h"

namespace {

// Keys: 0 marks a never-used cell, 1 a cell whose address was removed; no
// payload address can be either (payloads are 8-byte aligned and far above).
const uintptr_t INDEX_EMPTY = 0;
const uintptr_t INDEX_REMOVED = 1;
const int64_t INDEX_MIN_CAPACITY = 16;

struct DynamicIndex {
  int64_t capacity;   // cells, a power of two
  int32_t shift;      // 64 - log2(capacity), for multiplicative hashing
  int32_t padding;
  int64_t liveCount;  // cells holding an address
  int64_t usedCount;  // cells holding an address or a removal mark
  uintptr_t cells[1]; // capacity entries
};

size_t IndexBytes(int64_t capacity) {
  return offsetof(DynamicIndex, cells) + static_cast<size_t>(capacity) * sizeof(uintptr_t);
}

int64_t IndexHome(const DynamicIndex* index, uintptr_t key) {
  // Payload addresses share their low bits; Fibonacci hashing spreads them.
  return static_cast<int64_t>((static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull) >> index->shift);
}

// The cell holding key, or -1.
int64_t IndexFind(const DynamicIndex* index, uintptr_t key) {
  if (!index || key == INDEX_EMPTY || key == INDEX_REMOVED) return -1;
  int64_t mask = index->capacity - 1;
  for (int64_t cell = IndexHome(index, key), probes = 0; probes < index->capacity; cell = (cell + 1) & mask, probes++) {
    uintptr_t held = index->cells[cell];
    if (held == key) return cell;
    if (held == INDEX_EMPTY) return -1;
  }
  return -1;
}

void IndexPlace(DynamicIndex* index, uintptr_t key) {
  int64_t mask = index->capacity - 1;
  int64_t cell = IndexHome(index, key);
  while (index->cells[cell] != INDEX_EMPTY && index->cells[cell] != INDEX_REMOVED) cell = (cell + 1) & mask;
  if (index->cells[cell] == INDEX_EMPTY) index->usedCount++;
  index->cells[cell] = key;
  index->liveCount++;
}

// Makes room for one more key, rebuilding (and dropping removal marks) when
// the used cells would pass half the table. Zero when the heap fails; the
// old table then stays as it was.
int IndexReserveOne(ObjectRegistry* registry) {
  DynamicIndex* index = static_cast<DynamicIndex*>(registry->dynamicIndex);
  if (index && (index->usedCount + 1) * 2 <= index->capacity) return 1;
  int64_t live = index ? index->liveCount : 0;
  int64_t capacity = INDEX_MIN_CAPACITY;
  int32_t shift = 64 - 4;
  while (capacity < (live + 1) * 4) {
    capacity *= 2;
    shift--;
  }
  DynamicIndex* rebuilt = static_cast<DynamicIndex*>(KernelHeapAlloc(ProcessHeap(), IndexBytes(capacity), 1));
  if (!rebuilt) return 0;
  rebuilt->capacity = capacity;
  rebuilt->shift = shift;
  if (index) {
    for (int64_t cell = 0; cell < index->capacity; cell++) {
      uintptr_t key = index->cells[cell];
      if (key != INDEX_EMPTY && key != INDEX_REMOVED) IndexPlace(rebuilt, key);
    }
    KernelHeapFree(ProcessHeap(), index);
  }
  registry->dynamicIndex = rebuilt;
  return 1;
}

bool InSlotRange(const ObjectRegistry* registry, int64_t value) { return value >= 0 && value < registry->slotCount; }

bool IsLiveRecord(const void* record) { return record && *static_cast<const int64_t*>(record) != 0; }

}  // namespace

ObjectRegistry* RegistryCreate(int32_t recordSize, int32_t growStep, RegistryFreeCallback freeCallback) {
  // A record must hold its 64-bit handle; a step below one would let a
  // growing slot array stop short of the number that made it grow.
  if (recordSize < static_cast<int32_t>(sizeof(int64_t)) ||
      recordSize > INT32_MAX - static_cast<int32_t>(sizeof(DynamicObjectNode)) || growStep < 1 || growStep > REGISTRY_SLOT_LIMIT) return nullptr;
  ObjectRegistry* registry = static_cast<ObjectRegistry*>(KernelHeapAlloc(ProcessHeap(), sizeof(ObjectRegistry), 1));
  if (!registry) return nullptr;
  registry->dynamicHead = nullptr;
  registry->recordSize = recordSize;
  registry->freeCallback = freeCallback;
  registry->growStep = growStep;
  registry->slotCount = growStep;
  registry->slots = static_cast<void**>(KernelHeapAlloc(ProcessHeap(), static_cast<size_t>(growStep) * sizeof(void*), 1));
  if (!registry->slots) {
    KernelHeapFree(ProcessHeap(), registry);
    return nullptr;
  }
  return registry;
}

void* RegistryAllocate(ObjectRegistry* registry, int64_t number) {
  if (!registry) return nullptr;
  if (number == OBJECT_ANY) {
    // Room in the index first, so that a failure leaves no unindexed node.
    if (!IndexReserveOne(registry)) return nullptr;
    void* record = ListPushFront(&registry->dynamicHead, static_cast<int32_t>(sizeof(DynamicObjectNode)) + registry->recordSize);
    if (record) IndexPlace(static_cast<DynamicIndex*>(registry->dynamicIndex), reinterpret_cast<uintptr_t>(record));
    return record;
  }
  if (number < 0 || number >= REGISTRY_SLOT_LIMIT) return nullptr;
  if (number < registry->slotCount && registry->slots[number]) {
    if (registry->freeCallback) registry->freeCallback(number);
    // The callback may have grown the slot array, so read the slot afresh.
    return registry->slots[number];
  }
  // The record comes first, so that a failure at either step leaves the
  // slot array exactly as it was.
  void* record = KernelHeapAlloc(ProcessHeap(), static_cast<size_t>(registry->recordSize), 1);
  if (!record) return nullptr;
  if (number >= registry->slotCount) {
    int64_t grownCount = number + registry->growStep;
    if (grownCount > REGISTRY_SLOT_LIMIT) grownCount = REGISTRY_SLOT_LIMIT;
    void** grown = static_cast<void**>(
        KernelHeapReAlloc(ProcessHeap(), registry->slots, static_cast<size_t>(grownCount) * sizeof(void*), 1));
    if (!grown) {
      KernelHeapFree(ProcessHeap(), record);
      return nullptr;
    }
    registry->slots = grown;
    registry->slotCount = grownCount;
  }
  registry->slots[number] = record;
  return record;
}

void* RegistryLookup(ObjectRegistry* registry, int64_t value) {
  if (!registry) return nullptr;
  void* candidate = nullptr;
  if (InSlotRange(registry, value)) {
    candidate = registry->slots[value];
  } else if (IndexFind(static_cast<DynamicIndex*>(registry->dynamicIndex), static_cast<uintptr_t>(value)) >= 0) {
    candidate = reinterpret_cast<void*>(static_cast<uintptr_t>(value));
  }
  return IsLiveRecord(candidate) ? candidate : nullptr;
}

void RegistryFree(ObjectRegistry* registry, int64_t value) {
  if (!registry) return;
  if (InSlotRange(registry, value)) {
    if (registry->slots[value]) memset(registry->slots[value], 0, static_cast<size_t>(registry->recordSize));
    return;
  }
  DynamicIndex* index = static_cast<DynamicIndex*>(registry->dynamicIndex);
  int64_t cell = IndexFind(index, static_cast<uintptr_t>(value));
  if (cell < 0) return;
  index->cells[cell] = INDEX_REMOVED;
  index->liveCount--;
  void* payload = reinterpret_cast<void*>(static_cast<uintptr_t>(value));
  DynamicObjectNode* node = ListNodeOf(payload);
  // Freeing the object an enumeration would return next must not leave the
  // enumeration holding a freed node.
  if (registry->enumCursor == node) registry->enumCursor = node->prev;
  ListRemove(&registry->dynamicHead, payload);
}

void RegistryEnumStart(ObjectRegistry* registry) {
  if (!registry) return;
  registry->enumPosition = 0;
  DynamicObjectNode* oldest = registry->dynamicHead;
  while (oldest && oldest->next) oldest = oldest->next;
  registry->enumCursor = oldest;
}

void* RegistryEnumNext(ObjectRegistry* registry, int64_t* value) {
  if (!registry) return nullptr;
  while (registry->enumPosition >= 0 && registry->enumPosition < registry->slotCount) {
    int64_t number = registry->enumPosition++;
    void* record = registry->slots[number];
    if (IsLiveRecord(record)) {
      if (value) *value = number;
      return record;
    }
  }
  DynamicObjectNode* node = registry->enumCursor;
  if (!node) return nullptr;
  registry->enumCursor = node->prev;
  void* record = ListPayloadOf(node);
  if (value) *value = static_cast<int64_t>(reinterpret_cast<uintptr_t>(record));
  return record;
}
