// The event queue. See event_queue.h.
#include "window/events/event_queue.h"

#include "core/state_record.h"

EventState* eventState;

static void EventStateInit(void* record) {
  EventState* state = static_cast<EventState*>(record);
  state->nodePool = BlockPoolCreate(sizeof(QueuedEvent), 16, 256, 2);
  // One block is taken and never returned, so the first chunk stays alive
  // and a queue that empties and fills again costs no heap call.
  if (state->nodePool) BlockPoolAlloc(state->nodePool);
}

void EventLibraryStart(void) {
  eventState = static_cast<EventState*>(StateRecordCreate(sizeof(EventState), EventStateInit));
}

void EventPostSlow(int32_t code, int64_t object, int64_t window, int64_t type, void* data,
                   EventDataRelease dataRelease) {
  EventState* state = eventState;
  QueuedEvent* event = static_cast<QueuedEvent*>(BlockPoolAllocSlow(state->nodePool));
  if (!event) return;  // out of memory: the event is lost, nothing else is
  EventAppend(state, state->queueTail, event, code, object, window, type, data, dataRelease);
}

// Reads the code itself, before the block can go, so that EventPop can hand
// over by a tail call.
int32_t EventHeadFreeSlow(BlockPool* pool, QueuedEvent* head) {
  int32_t code = head->code;
  BlockPoolFreeSlow(pool, head);
  return code;
}

// Removes the events for which matches() holds, keeping the others in order.
template <typename Match>
static void RemoveMatching(Match matches) {
  EventState* state = eventState;
  if (!state) return;
  QueuedEvent* kept = nullptr;  // the last event kept so far
  QueuedEvent* event = state->queueHead;
  while (event) {
    QueuedEvent* next = event->next;
    if (matches(event)) {
      if (event == state->queueHead) state->queueHead = next;
      if (kept) kept->next = next;
      BlockPoolFree(state->nodePool, event);
    } else {
      kept = event;
    }
    event = next;
  }
  state->queueTail = kept;
}

void EventPurge(int32_t code, int64_t object, int64_t window, int64_t type) {
  RemoveMatching([=](const QueuedEvent* event) {
    return (code == -1 || code == event->code) && (object == -1 || object == event->object) &&
           (window == -1 || window == event->window) && (type == -1 || type == event->type);
  });
}

void EventPurgeWindow(int64_t window) {
  RemoveMatching([=](const QueuedEvent* event) { return event->window == window; });
}
