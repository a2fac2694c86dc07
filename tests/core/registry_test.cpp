// Numbered object registries: growth, re-allocation through the free
// callback, enumeration order with frees inside the loop, wild handle
// values, injected heap failures, and a randomized comparison against a
// simple model.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/kernel.h"
#include "core/object_list.h"
#include "core/registry.h"
#include "support/allocation_failures.h"

namespace {

struct TestRecord {
  int64_t handle;  // non-zero while live, as every record kind of the toolkit
  int64_t tag;
  char filler[40];
};

int64_t HandleValueOf(void* record) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(record)); }

// The free callback of the tests behaves like those of the toolkit: it
// destroys the object, which ends in RegistryFree of that number.
ObjectRegistry* callbackRegistry;
std::vector<std::string> eventLog;

void LoggingFreeCallback(int64_t number) {
  eventLog.push_back("callback " + std::to_string(number));
  RegistryFree(callbackRegistry, number);
}

ObjectRegistry* MakeLoggingRegistry(int32_t growStep) {
  eventLog.clear();
  callbackRegistry = RegistryCreate(sizeof(TestRecord), growStep, LoggingFreeCallback);
  return callbackRegistry;
}

TestRecord* Allocate(ObjectRegistry* registry, int64_t number, int64_t handle) {
  TestRecord* record = static_cast<TestRecord*>(RegistryAllocate(registry, number));
  if (record) record->handle = handle;
  return record;
}

// Runs a whole enumeration, optionally freeing each record as it comes.
std::vector<int64_t> Enumerate(ObjectRegistry* registry, bool freeEach) {
  std::vector<int64_t> values;
  RegistryEnumStart(registry);
  int64_t value = -12345;
  while (void* record = RegistryEnumNext(registry, &value)) {
    values.push_back(value);
    if (value >= 0 && value < registry->slotCount) {
      EXPECT_EQ(record, registry->slots[value]);
    } else {
      EXPECT_EQ(HandleValueOf(record), value);
    }
    if (freeEach) RegistryFree(registry, value);
    if (values.size() > 100000) break;
  }
  return values;
}

// ---------------------------------------------------------------------------
// Numbered objects

TEST(RegistryCreate, StartsWithGrowStepEmptySlotsAndRejectsUnusableShapes) {
  ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), 16, nullptr);
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(registry->recordSize, static_cast<int32_t>(sizeof(TestRecord)));
  EXPECT_EQ(registry->growStep, 16);
  EXPECT_EQ(registry->slotCount, 16);
  for (int i = 0; i < 16; i++) EXPECT_EQ(registry->slots[i], nullptr) << "slot " << i;
  EXPECT_EQ(registry->dynamicHead, nullptr);
  EXPECT_EQ(registry->freeCallback, nullptr);

  struct Shape {
    int32_t recordSize, growStep;
  } const unusable[] = {
      {4, 16},                             // too small for the platform handle
      {sizeof(TestRecord), 0},             // growth would stop short of the number
      {sizeof(TestRecord), -5},
      {sizeof(TestRecord), REGISTRY_SLOT_LIMIT + 1},
      {INT32_MAX, 16},                     // node size would overflow
  };
  for (const Shape& shape : unusable) {
    EXPECT_EQ(RegistryCreate(shape.recordSize, shape.growStep, nullptr), nullptr)
        << "recordSize " << shape.recordSize << ", growStep " << shape.growStep;
  }
}

TEST(RegistryAllocate, GrowsTheSlotArrayToExactlyTheNumberPlusTheStep) {
  struct Growth {
    int32_t growStep;
    int64_t number;
    int64_t slotCount;
  } const cases[] = {
      {16, 15, 16},   // in range: no growth
      {16, 16, 32},
      {16, 100, 116},
      {50, 50, 100},
      {1, 1, 2},
      {50, REGISTRY_SLOT_LIMIT - 10, REGISTRY_SLOT_LIMIT},  // growth stops at the limit
  };
  for (const Growth& growth : cases) {
    SCOPED_TRACE("growStep " + std::to_string(growth.growStep) + ", number " + std::to_string(growth.number));
    ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), growth.growStep, nullptr);
    ASSERT_NE(registry, nullptr);
    TestRecord* record = Allocate(registry, growth.number, 1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(registry->slotCount, growth.slotCount);
    EXPECT_EQ(registry->slots[growth.number], record);
    for (int64_t i = 0; i < registry->slotCount; i++) {
      if (i != growth.number) {
        ASSERT_EQ(registry->slots[i], nullptr) << "slot " << i;
      }
    }
    EXPECT_EQ(RegistryLookup(registry, growth.number), record);
  }
}

TEST(RegistryAllocate, AgainCallsTheFreeCallbackOnceBeforeReturningTheSameRecord) {
  ObjectRegistry* registry = MakeLoggingRegistry(16);
  ASSERT_NE(registry, nullptr);
  TestRecord* first = Allocate(registry, 5, 0x1111);
  eventLog.push_back("returned");
  first->tag = 99;
  TestRecord* second = static_cast<TestRecord*>(RegistryAllocate(registry, 5));
  eventLog.push_back("returned");
  EXPECT_EQ(first, second);
  EXPECT_EQ(eventLog, (std::vector<std::string>{"returned", "callback 5", "returned"}));
  EXPECT_TRUE(IsAllZero(second, sizeof(TestRecord))) << "the callback's RegistryFree zero-fills it";
}

TEST(RegistryFree, ZeroFillsANumberedRecordInPlaceAndReallocationReusesIt) {
  ObjectRegistry* registry = MakeLoggingRegistry(16);
  ASSERT_NE(registry, nullptr);
  TestRecord* record = Allocate(registry, 5, 0x2222);
  memset(record->filler, 0x77, sizeof record->filler);
  RegistryFree(registry, 5);
  EXPECT_EQ(RegistryLookup(registry, 5), nullptr);
  EXPECT_EQ(registry->slotCount, 16);
  EXPECT_EQ(registry->slots[5], record) << "a freed record stays in its slot";
  EXPECT_TRUE(IsAllZero(record, sizeof(TestRecord)));
  EXPECT_TRUE(eventLog.empty()) << "RegistryFree must not call the free callback";

  EXPECT_EQ(RegistryAllocate(registry, 5), record);
  EXPECT_EQ(eventLog, std::vector<std::string>{"callback 5"});
  EXPECT_TRUE(IsAllZero(record, sizeof(TestRecord)));

  RegistryFree(registry, 7);  // empty slot: nothing to do
  EXPECT_EQ(registry->slots[7], nullptr);
}

TEST(RegistryLookup, SeesOnlyRecordsWhoseHandleIsSet) {
  ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), 16, nullptr);
  ASSERT_NE(registry, nullptr);
  TestRecord* numbered = Allocate(registry, 2, 0);
  TestRecord* dynamic = Allocate(registry, OBJECT_ANY, 0);
  ASSERT_NE(numbered, nullptr);
  ASSERT_NE(dynamic, nullptr);
  EXPECT_EQ(RegistryLookup(registry, 2), nullptr);
  EXPECT_EQ(RegistryLookup(registry, HandleValueOf(dynamic)), nullptr);
  EXPECT_EQ(RegistryLookup(registry, 3), nullptr) << "empty slot";
  // Enumeration skips the numbered record but still returns the dynamic one.
  EXPECT_EQ(Enumerate(registry, false), std::vector<int64_t>{HandleValueOf(dynamic)});
  numbered->handle = 1;
  dynamic->handle = 1;
  EXPECT_EQ(RegistryLookup(registry, 2), numbered);
  EXPECT_EQ(RegistryLookup(registry, HandleValueOf(dynamic)), dynamic);
}

TEST(RegistryLookup, ANumberAtOrBeyondTheSlotCountIsAHandleValueNotAnIndex) {
  ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), 16, nullptr);
  ASSERT_NE(registry, nullptr);
  for (int64_t value : {int64_t{16}, int64_t{17}, int64_t{1000}, int64_t{REGISTRY_SLOT_LIMIT}}) {
    EXPECT_EQ(RegistryLookup(registry, value), nullptr) << value;
    RegistryFree(registry, value);
  }
  EXPECT_EQ(registry->slotCount, 16) << "neither lookup nor free grows the slots";
  TestRecord* record = Allocate(registry, 16, 5);
  EXPECT_EQ(RegistryLookup(registry, 16), record);
}

// ---------------------------------------------------------------------------
// Dynamic objects and enumeration

TEST(RegistryDynamic, HandleValueIsThePayloadAddressAndFreeReleasesTheNode) {
  ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), 16, nullptr);
  ASSERT_NE(registry, nullptr);
  TestRecord* record = static_cast<TestRecord*>(RegistryAllocate(registry, OBJECT_ANY));
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(IsAllZero(record, sizeof(TestRecord)));
  EXPECT_GE(HandleValueOf(record), REGISTRY_SLOT_LIMIT) << "a handle value must lie above every number";
  EXPECT_EQ(registry->dynamicHead, ListNodeOf(record));
  EXPECT_EQ(registry->slotCount, 16) << "the slot array is not touched";
  record->handle = 3;
  EXPECT_EQ(RegistryLookup(registry, HandleValueOf(record)), record);
  RegistryFree(registry, HandleValueOf(record));
  EXPECT_EQ(registry->dynamicHead, nullptr);
  // Under ASan a read of the freed node would be reported here.
  EXPECT_EQ(RegistryLookup(registry, HandleValueOf(record)), nullptr);
  RegistryFree(registry, HandleValueOf(record));
}

TEST(RegistryEnum, YieldsNumbersAscendingThenDynamicObjectsOldestFirstEvenWhenFreeingEach) {
  for (bool freeEach : {false, true}) {
    SCOPED_TRACE(freeEach ? "freeing each record inside the loop" : "without frees");
    ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), 16, nullptr);
    ASSERT_NE(registry, nullptr);
    Allocate(registry, 3, 1);
    Allocate(registry, 15, 1);  // the last of the first 16 slots
    Allocate(registry, 1, 1);
    TestRecord* a = Allocate(registry, OBJECT_ANY, 1);
    TestRecord* b = Allocate(registry, OBJECT_ANY, 1);
    std::vector<int64_t> expected = {1, 3, 15, HandleValueOf(a), HandleValueOf(b)};
    EXPECT_EQ(Enumerate(registry, freeEach), expected);
    if (freeEach) {
      EXPECT_EQ(registry->dynamicHead, nullptr);
      EXPECT_TRUE(Enumerate(registry, false).empty());
    }
  }
}

TEST(RegistryEnum, OfAnEmptyRegistryEndsAtOnceAndLeavesTheValueAlone) {
  ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), 16, nullptr);
  ASSERT_NE(registry, nullptr);
  RegistryEnumStart(registry);
  int64_t value = 42;
  EXPECT_EQ(RegistryEnumNext(registry, &value), nullptr);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(RegistryEnumNext(registry, &value), nullptr) << "stays over";
}

TEST(RegistryEnum, FreeingTheObjectDueNextDoesNotDerailTheEnumeration) {
  ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), 16, nullptr);
  ASSERT_NE(registry, nullptr);
  TestRecord* a = Allocate(registry, OBJECT_ANY, 1);
  TestRecord* b = Allocate(registry, OBJECT_ANY, 1);
  TestRecord* c = Allocate(registry, OBJECT_ANY, 1);
  RegistryEnumStart(registry);
  int64_t value = 0;
  EXPECT_EQ(RegistryEnumNext(registry, &value), a);
  RegistryFree(registry, HandleValueOf(b));  // the cursor's node
  EXPECT_EQ(RegistryEnumNext(registry, &value), c);
  EXPECT_EQ(RegistryEnumNext(registry, &value), nullptr);
}

// ---------------------------------------------------------------------------
// Wild values

TEST(RegistryWildValues, AreNeverDereferencedNorChangeAnything) {
  ObjectRegistry* registry = MakeLoggingRegistry(16);
  ASSERT_NE(registry, nullptr);
  TestRecord* numbered = Allocate(registry, 4, 0x44);
  TestRecord* live = Allocate(registry, OBJECT_ANY, 0x55);
  TestRecord* freed = Allocate(registry, OBJECT_ANY, 0x66);
  int64_t freedValue = HandleValueOf(freed);
  RegistryFree(registry, freedValue);
  // A record-shaped object the registry does not own: it looks live.
  TestRecord impostor = {0x77, 0x77, {}};
  char stackBytes[64];

  const int64_t wild[] = {
      -2, -1, INT64_MIN, INT64_MAX, 16, 0x10000, 0x12345678, 0x7FFFFFFFFFF0,
      freedValue,                            // a freed dynamic object
      HandleValueOf(live) + 8,               // inside a live object
      HandleValueOf(live) - 16,              // its node, not its payload
      HandleValueOf(&impostor),
      HandleValueOf(stackBytes + 1),          // unaligned
  };
  for (int64_t value : wild) {
    SCOPED_TRACE("value " + std::to_string(value));
    EXPECT_EQ(RegistryLookup(registry, value), nullptr);
    RegistryFree(registry, value);
  }
  EXPECT_EQ(impostor.handle, 0x77) << "RegistryFree wrote to memory it does not own";
  EXPECT_EQ(numbered->handle, 0x44);
  EXPECT_EQ(RegistryLookup(registry, HandleValueOf(live)), live);
  EXPECT_EQ(registry->dynamicHead, ListNodeOf(live));
  EXPECT_EQ(registry->slotCount, 16);
  EXPECT_TRUE(eventLog.empty());

  // Negative numbers other than OBJECT_ANY, and numbers no slot array can
  // reach, make nothing.
  for (int64_t number : {int64_t{-2}, int64_t{-100}, INT64_MIN, int64_t{REGISTRY_SLOT_LIMIT}, INT64_MAX,
                         HandleValueOf(live)}) {
    EXPECT_EQ(RegistryAllocate(registry, number), nullptr) << number;
  }
  EXPECT_EQ(registry->slotCount, 16);
  EXPECT_EQ(Enumerate(registry, false), (std::vector<int64_t>{4, HandleValueOf(live)}));
  EXPECT_EQ(RegistryLookup(nullptr, 4), nullptr) << "no registry (its library never started)";
  EXPECT_EQ(RegistryAllocate(nullptr, 4), nullptr);
  RegistryFree(nullptr, 4);
}

// ---------------------------------------------------------------------------
// Heap exhaustion

// Runs a fixed script with the heap failing after `budget` allocations; every
// step must either succeed completely or fail without changing the registry.
TEST(RegistryHeapFailure, EveryStepEitherCompletesOrLeavesTheRegistryAsItWas) {
  FailureBudgetReset reset;
  bool sawSuccessfulRun = false;
  for (long budget = 0; budget < 40 && !sawSuccessfulRun; budget++) {
    SCOPED_TRACE("heap fails after " + std::to_string(budget) + " allocations");
    KernelFailAllocationsAfter(budget);
    ObjectRegistry* registry = RegistryCreate(sizeof(TestRecord), 16, nullptr);
    if (!registry) {
      EXPECT_LT(budget, 2);
      continue;
    }
    std::map<int64_t, TestRecord*> numbered;
    std::vector<TestRecord*> dynamic;
    bool allSucceeded = true;
    const int64_t script[] = {3, OBJECT_ANY, 40, OBJECT_ANY, 3, 200, OBJECT_ANY, 7, OBJECT_ANY, OBJECT_ANY,
                              OBJECT_ANY, OBJECT_ANY, OBJECT_ANY, OBJECT_ANY, OBJECT_ANY, OBJECT_ANY, 1000};
    for (int64_t number : script) {
      int64_t slotsBefore = registry->slotCount;
      void** slotArrayBefore = registry->slots;
      DynamicObjectNode* headBefore = registry->dynamicHead;
      TestRecord* record = Allocate(registry, number, 9);
      if (!record) {
        allSucceeded = false;
        EXPECT_EQ(registry->slotCount, slotsBefore) << "number " << number;
        EXPECT_EQ(registry->slots, slotArrayBefore);
        EXPECT_EQ(registry->dynamicHead, headBefore);
        if (number >= 0 && number < registry->slotCount) {
          EXPECT_EQ(registry->slots[number], nullptr);
        }
        continue;
      }
      if (number == OBJECT_ANY) dynamic.push_back(record);
      else numbered[number] = record;
    }
    // Whatever was made is complete, reachable and enumerated in order.
    KernelFailAllocationsAfter(-1);
    std::vector<int64_t> expected;
    for (auto& entry : numbered) {
      EXPECT_EQ(RegistryLookup(registry, entry.first), entry.second);
      expected.push_back(entry.first);
    }
    for (TestRecord* record : dynamic) {
      EXPECT_EQ(RegistryLookup(registry, HandleValueOf(record)), record);
      expected.push_back(HandleValueOf(record));
    }
    EXPECT_EQ(Enumerate(registry, true), expected);
    EXPECT_EQ(registry->dynamicHead, nullptr);
    sawSuccessfulRun = allSucceeded;
  }
  EXPECT_TRUE(sawSuccessfulRun) << "the script never ran without a failure";
}

// ---------------------------------------------------------------------------
// Randomized comparison against a model

struct RegistryModel {
  std::map<int64_t, int64_t> numbered;    // number -> handle field (0 = freed)
  std::vector<int64_t> dynamicInOrder;    // live handle values, oldest first
  std::map<int64_t, int64_t> dynamicHandle;
  std::set<int64_t> freedDynamic;         // values of freed dynamic objects
  int64_t slotCount = 0;
  int callbacks = 0;
};

RegistryModel* activeModel;
ObjectRegistry* modelRegistry;
void ModelFreeCallback(int64_t number) {
  activeModel->callbacks++;
  RegistryFree(modelRegistry, number);
}

TEST(RegistryModelCheck, RandomOperationsAgreeWithASimpleModel) {
  const int32_t growStep = 8;
  RegistryModel model;
  activeModel = &model;
  modelRegistry = RegistryCreate(sizeof(TestRecord), growStep, ModelFreeCallback);
  ObjectRegistry* registry = modelRegistry;
  ASSERT_NE(registry, nullptr);
  model.slotCount = growStep;
  std::mt19937_64 random(20261208);
  int64_t nextHandle = 1;

  for (int step = 0; step < 6000; step++) {
    SCOPED_TRACE("step " + std::to_string(step));
    int operation = static_cast<int>(random() % 100);
    if (operation < 20) {  // allocate a number
      int64_t number = static_cast<int64_t>(random() % 160);
      int callbacksBefore = model.callbacks;
      TestRecord* record = static_cast<TestRecord*>(RegistryAllocate(registry, number));
      ASSERT_NE(record, nullptr);
      bool hadRecord = model.numbered.count(number) != 0;
      EXPECT_EQ(model.callbacks - callbacksBefore, hadRecord ? 1 : 0);
      if (number >= model.slotCount) model.slotCount = number + growStep;
      ASSERT_TRUE(IsAllZero(record, sizeof(TestRecord)));
      record->handle = nextHandle;
      model.numbered[number] = nextHandle++;
    } else if (operation < 35) {  // allocate a dynamic object
      TestRecord* record = static_cast<TestRecord*>(RegistryAllocate(registry, OBJECT_ANY));
      ASSERT_NE(record, nullptr);
      ASSERT_TRUE(IsAllZero(record, sizeof(TestRecord)));
      int64_t value = HandleValueOf(record);
      ASSERT_EQ(model.dynamicHandle.count(value), 0u) << "handle value of a live object handed out again";
      model.freedDynamic.erase(value);  // the heap may reuse a freed node's address
      // Some dynamic records stay unset, so enumeration must return them anyway.
      int64_t handle = random() % 4 == 0 ? 0 : nextHandle++;
      record->handle = handle;
      model.dynamicInOrder.push_back(value);
      model.dynamicHandle[value] = handle;
    } else if (operation < 50) {  // free a number, possibly one never made
      int64_t number = static_cast<int64_t>(random() % 200);
      RegistryFree(registry, number);
      auto found = model.numbered.find(number);
      if (found != model.numbered.end() && number < model.slotCount) found->second = 0;
    } else if (operation < 62) {  // free a dynamic object, live or already freed
      if (!model.dynamicInOrder.empty() && random() % 4 != 0) {
        size_t index = static_cast<size_t>(random() % model.dynamicInOrder.size());
        int64_t value = model.dynamicInOrder[index];
        RegistryFree(registry, value);
        model.dynamicInOrder.erase(model.dynamicInOrder.begin() + static_cast<long>(index));
        model.dynamicHandle.erase(value);
        model.freedDynamic.insert(value);
      } else if (!model.freedDynamic.empty()) {
        RegistryFree(registry, *model.freedDynamic.begin());
      }
    } else if (operation < 90) {  // look up any kind of value
      int64_t value;
      int pick = static_cast<int>(random() % 3);
      if (pick == 0 || model.dynamicInOrder.empty()) value = static_cast<int64_t>(random() % 200) - 2;
      else if (pick == 1) value = model.dynamicInOrder[random() % model.dynamicInOrder.size()];
      else value = model.freedDynamic.empty() ? 0x7000000 : *model.freedDynamic.begin();
      void* record = RegistryLookup(registry, value);
      int64_t expectedHandle = 0;
      if (value >= 0 && value < model.slotCount) {
        auto found = model.numbered.find(value);
        if (found != model.numbered.end()) expectedHandle = found->second;
      } else if (model.dynamicHandle.count(value)) {
        expectedHandle = model.dynamicHandle[value];
      }
      if (expectedHandle) {
        ASSERT_NE(record, nullptr) << "value " << value;
        EXPECT_EQ(static_cast<TestRecord*>(record)->handle, expectedHandle);
      } else {
        ASSERT_EQ(record, nullptr) << "value " << value;
      }
    } else {  // enumerate everything
      std::vector<int64_t> expected;
      for (auto& entry : model.numbered) {
        if (entry.second) expected.push_back(entry.first);
      }
      expected.insert(expected.end(), model.dynamicInOrder.begin(), model.dynamicInOrder.end());
      ASSERT_EQ(Enumerate(registry, false), expected);
    }
    ASSERT_EQ(registry->slotCount, model.slotCount);
  }
  activeModel = nullptr;
}

}  // namespace
