// Numbered object registries: map an application-chosen number (0, 1, ...)
// or, for objects made with OBJECT_ANY, a handle value (the record's
// address) to a zero-filled record owned by the registry.
//
// Every record kind begins with its 64-bit platform handle; a record is live
// exactly while that field is non-zero. Numbered records stay in their slot
// for the life of the process (freeing zero-fills them); dynamic records are
// list nodes, freed when the object is freed. Values that are neither a slot
// number nor the handle value of a live dynamic object are never
// dereferenced: lookups yield null, frees do nothing.
// All memory comes from the process heap; GUI thread only, no lock.
#pragma once

#include <stdint.h>

#include "core/object_list.h"
#include "core/toolkit.h"

typedef ListNode DynamicObjectNode;

// Numbers run from 0 to REGISTRY_SLOT_LIMIT - 1: the slot range must stay
// below every address the platform hands out (the lowest 64 KiB are never
// mapped), so that a number and a handle value can never be confused.
enum { REGISTRY_SLOT_LIMIT = 65536 };
typedef void (*RegistryFreeCallback)(int64_t number);

struct ObjectRegistry {
  int32_t recordSize;                // bytes of one object record
  int32_t growStep;                  // initial slots, and spare slots added on growth
  int64_t slotCount;                 // valid numbers are 0 .. slotCount - 1
  void** slots;                      // record of each number, or null if never allocated
  DynamicObjectNode* dynamicHead;    // newest dynamic object, or null
  RegistryFreeCallback freeCallback; // called when a number with a record is allocated again
  int64_t enumPosition;              // next slot RegistryEnumNext examines
  DynamicObjectNode* enumCursor;     // next dynamic object RegistryEnumNext returns
  // Implementation-private index of live dynamic handle values, so that a
  // value can be validated without walking the list.
  void* dynamicIndex;
};

// Null when the process heap cannot supply the registry or its slots, when
// recordSize cannot hold the 64-bit handle, or growStep is not in 1 ..
// REGISTRY_SLOT_LIMIT.
ObjectRegistry* RegistryCreate(int32_t recordSize, int32_t growStep, RegistryFreeCallback freeCallback);
// The record for number (created or reused), or for OBJECT_ANY a new dynamic
// record. Null when the heap fails, or number is negative and not OBJECT_ANY,
// or number is REGISTRY_SLOT_LIMIT or above; the registry is unchanged then.
void* RegistryAllocate(ObjectRegistry* registry, int64_t number);
void* RegistryLookup(ObjectRegistry* registry, int64_t value);
void RegistryFree(ObjectRegistry* registry, int64_t value);
void RegistryEnumStart(ObjectRegistry* registry);
void* RegistryEnumNext(ObjectRegistry* registry, int64_t* value);
