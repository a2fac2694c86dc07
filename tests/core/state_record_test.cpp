// Library state records: zero-filled, initialised before they are
// returned, and null without the initialiser when the heap fails.
#include <gtest/gtest.h>

#include <stdint.h>

#include "core/kernel.h"
#include "core/state_record.h"
#include "support/allocation_failures.h"

namespace {

void* initialisedRecord;
int initialiserCalls;
void RecordingInitialiser(void* record) {
  initialiserCalls++;
  initialisedRecord = record;
  EXPECT_TRUE(IsAllZero(record, 96)) << "the initialiser must see a zero-filled record";
  static_cast<int64_t*>(record)[0] = 77;
}

TEST(StateRecord, IsZeroFilledAndInitialisedBeforeItIsReturned) {
  initialiserCalls = 0;
  int64_t* record = static_cast<int64_t*>(StateRecordCreate(96, RecordingInitialiser));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(initialiserCalls, 1);
  EXPECT_EQ(initialisedRecord, record);
  EXPECT_EQ(record[0], 77);
  EXPECT_TRUE(IsAllZero(record + 1, 88));
  void* plain = StateRecordCreate(40, nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(IsAllZero(plain, 40));
}

TEST(StateRecord, HeapFailureYieldsNullWithoutRunningTheInitialiser) {
  FailureBudgetReset reset;
  initialiserCalls = 0;
  KernelFailAllocationsAfter(0);
  EXPECT_EQ(StateRecordCreate(96, RecordingInitialiser), nullptr);
  EXPECT_EQ(initialiserCalls, 0);
  KernelFailAllocationsAfter(-1);
  EXPECT_EQ(StateRecordCreate(-1, RecordingInitialiser), nullptr) << "negative size";
  EXPECT_EQ(initialiserCalls, 0);
}

}  // namespace
