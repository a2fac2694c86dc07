// The event queue on its own: posting with tail de-duplication, purging by
// pattern and by window, popping oldest first, and the pool that keeps its
// first chunk. Each scenario is a row of operations and the events that must
// come out afterwards, compared as whole sequences.
#include <gtest/gtest.h>

#include <vector>

#include "core/block_pool.h"
#include "support/event_sequence.h"
#include "window/events/event_queue.h"

namespace {

using support::Recorded;
typedef Recorded Event;

enum OperationKind { END, POST, PURGE, PURGE_WINDOW };

struct Operation {
  OperationKind kind;
  Event event;  // POST: the event; PURGE: the pattern; PURGE_WINDOW: window only
};

struct Scenario {
  const char* name;
  Operation operations[8];  // ended by END
  Event expected[8];        // ended by END_OF_SEQUENCE
};

class EventQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { EventPurge(-1, -1, -1, -1); }
  void TearDown() override { EventPurge(-1, -1, -1, -1); }
};

const Event GADGET_5 = {EVENT_GADGET, 5, 0, EVENT_TYPE_FOCUS};
const Event GADGET_7 = {EVENT_GADGET, 7, 0, EVENT_TYPE_FOCUS};
const Event SIZE_0 = {EVENT_SIZE_WINDOW, 0, 0, 0};
const Event SIZE_2 = {EVENT_SIZE_WINDOW, 0, 2, 0};
const Event MOVE_2 = {EVENT_MOVE_WINDOW, 2, 2, 0};
const Event CLOSE_3 = {EVENT_CLOSE_WINDOW, 3, 3, 0};

const Scenario scenarios[] = {
    {"events come out oldest first",
     {{POST, CLOSE_3}, {POST, GADGET_5}, {POST, SIZE_0}, {END, {}}},
     {CLOSE_3, GADGET_5, SIZE_0, {}}},
    {"a repeated tail event is queued once (A A)",
     {{POST, GADGET_5}, {POST, GADGET_5}, {END, {}}},
     {GADGET_5, {}}},
    {"only the tail is compared (A B A)",
     {{POST, GADGET_5}, {POST, GADGET_7}, {POST, GADGET_5}, {END, {}}},
     {GADGET_5, GADGET_7, GADGET_5, {}}},
    {"events differing only in type are both queued",
     {{POST, GADGET_5}, {POST, {EVENT_GADGET, 5, 0, EVENT_TYPE_LOST_FOCUS}}, {END, {}}},
     {GADGET_5, {EVENT_GADGET, 5, 0, EVENT_TYPE_LOST_FOCUS}, {}}},
    {"events differing only in window are both queued",
     {{POST, SIZE_0}, {POST, SIZE_2}, {END, {}}},
     {SIZE_0, SIZE_2, {}}},
    {"purge by gadget number removes only that gadget's events",
     {{POST, GADGET_5}, {POST, GADGET_7}, {POST, SIZE_0}, {PURGE, {EVENT_GADGET, 5, -1, -1}}, {END, {}}},
     {GADGET_7, SIZE_0, {}}},
    {"purge with every argument -1 empties the queue",
     {{POST, GADGET_5}, {POST, GADGET_7}, {POST, SIZE_0}, {PURGE, {-1, -1, -1, -1}}, {END, {}}},
     {{}}},
    {"purge of the tail keeps the order of the rest",
     {{POST, GADGET_5}, {POST, GADGET_7}, {POST, SIZE_0}, {PURGE, {EVENT_SIZE_WINDOW, -1, -1, -1}}, {END, {}}},
     {GADGET_5, GADGET_7, {}}},
    {"purge of events in the middle",
     {{POST, SIZE_0}, {POST, GADGET_5}, {POST, GADGET_7}, {POST, CLOSE_3}, {PURGE, {EVENT_GADGET, -1, -1, -1}},
      {END, {}}},
     {SIZE_0, CLOSE_3, {}}},
    {"purge needs all four fields to match",
     {{POST, GADGET_5}, {PURGE, {EVENT_GADGET, 5, 0, EVENT_TYPE_LOST_FOCUS}}, {PURGE, {EVENT_GADGET, 5, 1, -1}},
      {END, {}}},
     {GADGET_5, {}}},
    {"purge of an empty queue does nothing",
     {{PURGE, {-1, -1, -1, -1}}, {POST, GADGET_5}, {END, {}}},
     {GADGET_5, {}}},
    {"purge-window removes exactly the events of that window",
     {{POST, SIZE_2}, {POST, GADGET_5}, {POST, MOVE_2}, {POST, CLOSE_3}, {PURGE_WINDOW, {0, 0, 2, 0}}, {END, {}}},
     {GADGET_5, CLOSE_3, {}}},
    {"purge-window of -1 is no wildcard",
     {{POST, SIZE_2}, {POST, {EVENT_ACTIVATE_WINDOW, 0, -1, 0}}, {PURGE_WINDOW, {0, 0, -1, 0}}, {END, {}}},
     {SIZE_2, {}}},
    {"after a purge the new tail takes part in de-duplication",
     {{POST, GADGET_5}, {POST, GADGET_7}, {PURGE, {EVENT_GADGET, 7, -1, -1}}, {POST, GADGET_5}, {END, {}}},
     {GADGET_5, {}}},
    {"after purging everything a post starts a new queue",
     {{POST, GADGET_5}, {PURGE_WINDOW, {0, 0, 0, 0}}, {POST, GADGET_7}, {POST, SIZE_0}, {END, {}}},
     {GADGET_7, SIZE_0, {}}},
};

TEST_F(EventQueueTest, ScenariosProduceTheExpectedSequences) {
  for (const Scenario& scenario : scenarios) {
    EventPurge(-1, -1, -1, -1);
    for (const Operation* operation = scenario.operations; operation->kind != END; operation++) {
      const Event& event = operation->event;
      switch (operation->kind) {
        case POST: EventPost(static_cast<int32_t>(event.code), event.object, event.window, event.type); break;
        case PURGE: EventPurge(event.code, event.object, event.window, event.type); break;
        case PURGE_WINDOW: EventPurgeWindow(event.window); break;
        case END: break;
      }
    }
    EXPECT_SEQUENCE(scenario.name, scenario.expected, support::QueuedEventsTake());
    EXPECT_EQ(EventStateGet()->queueHead, nullptr) << scenario.name;
    EXPECT_EQ(EventStateGet()->queueTail, nullptr) << scenario.name;
  }
}

TEST_F(EventQueueTest, PurgeLeavesTheTailOnTheLastKeptEvent) {
  EventPost(EVENT_GADGET, 5, 0, EVENT_TYPE_FOCUS);
  EventPost(EVENT_GADGET, 7, 0, EVENT_TYPE_FOCUS);
  EventPost(EVENT_SIZE_WINDOW, 0, 0, 0);
  EventPurge(EVENT_GADGET, 5, -1, -1);
  EventState* state = EventStateGet();
  ASSERT_NE(state->queueTail, nullptr);
  EXPECT_EQ(state->queueTail->code, EVENT_SIZE_WINDOW);
  EXPECT_EQ(state->queueTail->next, nullptr);
  EXPECT_EQ(state->queueHead->object, 7);
  EventPurge(-1, -1, -1, -1);
  EXPECT_EQ(state->queueHead, nullptr);
  EXPECT_EQ(state->queueTail, nullptr);
}

int releaseCalls;
void CountRelease(void*) { releaseCalls++; }

TEST_F(EventQueueTest, PopHandsOutDataAndLeavesOutFieldsAloneWhenEmpty) {
  int payload = 0;
  EventPost(EVENT_GADGET, 9, 1, 2, &payload, CountRelease);
  // Data is not compared: a second post with other data is still a duplicate.
  EventPost(EVENT_GADGET, 9, 1, 2, nullptr, nullptr);
  int64_t object = 0, window = 0, type = 0;
  void* data = nullptr;
  EventDataRelease release = nullptr;
  ASSERT_EQ(EventPop(&object, &window, &type, &data, &release), EVENT_GADGET);
  EXPECT_EQ(object, 9);
  EXPECT_EQ(window, 1);
  EXPECT_EQ(type, 2);
  EXPECT_EQ(data, &payload);
  EXPECT_EQ(release, &CountRelease);
  object = window = type = 77;
  EXPECT_EQ(EventPop(&object, &window, &type, &data, &release), 0);
  EXPECT_EQ(object, 77);
  EXPECT_EQ(window, 77);
  EXPECT_EQ(type, 77);
  EXPECT_EQ(data, &payload);
  // The queue never calls a release routine itself, not even when purging.
  EventPost(EVENT_GADGET, 9, 1, 2, &payload, CountRelease);
  EventPurge(-1, -1, -1, -1);
  EXPECT_EQ(releaseCalls, 0);
}

TEST_F(EventQueueTest, PostSuppressedQueuesNothing) {
  EventState* state = EventStateGet();
  state->postSuppressed = 1;
  EventPost(EVENT_GADGET, 1, 0, 0);
  state->postSuppressed = 0;
  EXPECT_EQ(state->queueHead, nullptr);
  EventPost(EVENT_GADGET, 1, 0, 0);
  EXPECT_NE(state->queueHead, nullptr);
}

TEST_F(EventQueueTest, TheFirstChunkSurvivesAnEmptiedQueue) {
  BlockPool* pool = EventStateGet()->nodePool;
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->totalBlocks, 16);
  // Fill past the first chunk, then empty the queue: only the first chunk,
  // which holds the block taken at start, stays.
  for (int i = 0; i < 40; i++) EventPost(EVENT_GADGET, i, 0, 0);
  EXPECT_EQ(pool->totalBlocks, 48);
  EXPECT_EQ(support::QueuedEventsTake().size(), 40u);
  EXPECT_EQ(pool->totalBlocks, 16);
  for (int round = 0; round < 3; round++) {
    for (int i = 0; i < 10; i++) EventPost(EVENT_GADGET, i, 0, 0);
    EventPurge(-1, -1, -1, -1);
    EXPECT_EQ(pool->totalBlocks, 16);
  }
}

TEST_F(EventQueueTest, ALongQueueKeepsItsOrder) {
  for (int i = 0; i < 1000; i++) EventPost(EVENT_GADGET, i, i % 3, 0);
  EventPurgeWindow(1);
  std::vector<Event> events = support::QueuedEventsTake();
  ASSERT_EQ(events.size(), 667u);
  int64_t previous = -1;
  for (const Event& event : events) {
    EXPECT_NE(event.window, 1);
    EXPECT_GT(event.object, previous);
    previous = event.object;
  }
}

}  // namespace
