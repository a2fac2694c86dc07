// The event queue. See event_queue.h.
#include "window/events/event_queue.h"

#include "core/kernel.h"
#include "core/state_record.h"

EventState* eventState;

static void EventStateInit(void* record) {
  EventState* state = static_cast<EventState*>(record);
  state->nodePool = BlockPoolCreate(sizeof(QueuedEvent), 16, 256, POOL_UNLOCKED);
  // One block is taken and never returned, so the first chunk stays alive
  // and a queue that empties and fills again costs no heap call.
  if (state->nodePool) BlockPoolAlloc(state->nodePool);
}

void EventLibraryStart(void) {
  eventState = static_cast<EventState*>(StateRecordCreate(sizeof(EventState), EventStateInit));
  // A queue that loses every event would never deliver the close event.
  if (!eventState || !eventState->nodePool) KernelFatal("out of memory: cannot start the event library");
}

void EventPost(int32_t code, int64_t object, int64_t window, int64_t type, void* data,
               EventDataRelease dataRelease) {
  EventState* state = eventState;
  if (!state || state->postSuppressed) return;
  QueuedEvent* tail = state->queueTail;
  if (tail && tail->code == code && tail->object == object && tail->window == window && tail->type == type) return;
  QueuedEvent* event = static_cast<QueuedEvent*>(BlockPoolAlloc(state->nodePool));
  if (!event) return;
  *event = QueuedEvent{nullptr, code, object, window, type, data, dataRelease};
  // Head and tail are null together, so the old tail alone says where to link.
  if (tail) tail->next = event;
  else state->queueHead = event;
  state->queueTail = event;
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
  int32_t code = head->code;
  state->queueHead = head->next;
  if (!head->next) state->queueTail = nullptr;  // only the tail has no next
  BlockPoolFree(state->nodePool, head);
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
