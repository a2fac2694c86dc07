// The event queue. See event_queue.h.
#include "window/event_queue.h"

#include "core/state_record.h"

#if defined(_MSC_VER)
#define EVENT_NOINLINE __declspec(noinline)
#else
#define EVENT_NOINLINE __attribute__((noinline))
#endif

static EventState* eventState;

EventState* EventStateGet(void) { return eventState; }

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

// Fills the new tail. Head and tail are null together, so the old tail
// alone says where to link.
static inline void EventAppend(EventState* state, QueuedEvent* tail, QueuedEvent* event, int32_t code, int64_t object,
                               int64_t window, int64_t type, void* data, EventDataRelease dataRelease) {
  event->next = nullptr;
  event->code = code;
  event->object = object;
  event->window = window;
  event->type = type;
  event->data = data;
  event->dataRelease = dataRelease;
  if (tail) tail->next = event;
  else state->queueHead = event;
  state->queueTail = event;
}

// EventPost when the pool must do more than hand out a ready block. Out of
// line, and reached by a tail call, so that the common post saves no
// registers and makes no call.
static EVENT_NOINLINE void EventPostSlow(int32_t code, int64_t object, int64_t window, int64_t type, void* data,
                                         EventDataRelease dataRelease) {
  EventState* state = eventState;
  QueuedEvent* event = static_cast<QueuedEvent*>(BlockPoolAllocSlow(state->nodePool));
  if (!event) return;  // out of memory: the event is lost, nothing else is
  EventAppend(state, state->queueTail, event, code, object, window, type, data, dataRelease);
}

void EventPost(int32_t code, int64_t object, int64_t window, int64_t type, void* data, EventDataRelease dataRelease) {
  EventState* state = eventState;
  if (!state || state->postSuppressed) return;
  QueuedEvent* tail = state->queueTail;
  if (tail && tail->code == code && tail->object == object && tail->window == window && tail->type == type) return;
  // A null pool yields no block on either road, so it needs no test here.
  QueuedEvent* event = static_cast<QueuedEvent*>(BlockPoolAllocFast(state->nodePool));
  if (!event) return EventPostSlow(code, object, window, type, data, dataRelease);
  EventAppend(state, tail, event, code, object, window, type, data, dataRelease);
}

// EventPop's last step when the block's chunk has to move or go back to the
// heap. It reads the code itself, before the block can go, so that EventPop
// can hand over by a tail call and keep no register of its own.
static EVENT_NOINLINE int32_t EventHeadFreeSlow(BlockPool* pool, QueuedEvent* head) {
  int32_t code = head->code;
  BlockPoolFreeSlow(pool, head);
  return code;
}

int32_t EventPop(int64_t* object, int64_t* window, int64_t* type, void** data, EventDataRelease* dataRelease) {
  EventState* state = eventState;
  QueuedEvent* head = state ? state->queueHead : nullptr;
  if (!head) return 0;
  *object = head->object;
  *window = head->window;
  *type = head->type;
  *data = head->data;
  *dataRelease = head->dataRelease;
  QueuedEvent* next = head->next;
  state->queueHead = next;
  if (!next) state->queueTail = nullptr;  // only the tail has no next
  int32_t code = head->code;
  if (!BlockPoolFreeFast(state->nodePool, head)) return EventHeadFreeSlow(state->nodePool, head);
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
