// The object list beneath the registries' dynamic objects: nodes pushed at
// the front, zero-filled payloads, unlinking from any position, and failed
// or impossible nodes that leave the list unchanged.
#include <gtest/gtest.h>

#include <string.h>

#include "core/kernel.h"
#include "core/object_list.h"
#include "support/allocation_failures.h"

namespace {

TEST(ObjectList, PushesAtTheFrontAndUnlinksFromAnyPosition) {
  ListNode* head = nullptr;
  void* payloads[4];
  for (int i = 0; i < 4; i++) {
    payloads[i] = ListPushFront(&head, sizeof(ListNode) + 24);
    ASSERT_NE(payloads[i], nullptr);
    EXPECT_TRUE(IsAllZero(payloads[i], 24)) << "payload " << i << " is not zero-filled";
    EXPECT_EQ(head, ListNodeOf(payloads[i]));
    memset(payloads[i], 0x5A, 24);
  }
  // Newest first: 3 2 1 0, linked both ways.
  EXPECT_EQ(head->prev, nullptr);
  EXPECT_EQ(ListNodeOf(payloads[0])->next, nullptr);
  for (int i = 3; i > 0; i--) {
    EXPECT_EQ(ListNodeOf(payloads[i])->next, ListNodeOf(payloads[i - 1]));
    EXPECT_EQ(ListNodeOf(payloads[i - 1])->prev, ListNodeOf(payloads[i]));
  }
  ListRemove(&head, payloads[2]);  // middle
  EXPECT_EQ(ListNodeOf(payloads[3])->next, ListNodeOf(payloads[1]));
  EXPECT_EQ(ListNodeOf(payloads[1])->prev, ListNodeOf(payloads[3]));
  ListRemove(&head, payloads[3]);  // head
  EXPECT_EQ(head, ListNodeOf(payloads[1]));
  EXPECT_EQ(head->prev, nullptr);
  ListRemove(&head, payloads[0]);  // oldest
  EXPECT_EQ(head->next, nullptr);
  ListRemove(&head, payloads[1]);
  EXPECT_EQ(head, nullptr);
}

TEST(ObjectList, FailedOrImpossibleNodeLeavesTheListUnchanged) {
  FailureBudgetReset reset;
  ListNode* head = nullptr;
  void* only = ListPushFront(&head, sizeof(ListNode) + 8);
  ASSERT_NE(only, nullptr);
  EXPECT_EQ(ListPushFront(&head, sizeof(ListNode) - 1), nullptr) << "a node too small for its links";
  KernelFailAllocationsAfter(0);
  EXPECT_EQ(ListPushFront(&head, sizeof(ListNode) + 8), nullptr);
  KernelFailAllocationsAfter(-1);
  EXPECT_EQ(head, ListNodeOf(only));
  EXPECT_EQ(head->next, nullptr);
  EXPECT_EQ(head->prev, nullptr);
  ListRemove(&head, only);
  EXPECT_EQ(head, nullptr);
}

}  // namespace
