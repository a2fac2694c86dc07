// One round of the event-queue benchmarks, shared by the native benchmark
// and the Windows build's: `burst` distinct events posted (as one dispatch
// does), then every event popped and handed to consume(code, object, window,
// type, data, release). The deque round makes the same tail comparison
// before each push, so both sides do the same work.
#pragma once

#include <deque>

#include "window/events/event_queue.h"

template <typename Consume>
inline void QueueRound(int64_t burst, Consume consume) {
  for (int64_t i = 0; i < burst; i++) EventPost(EVENT_GADGET, i, 0, EVENT_TYPE_FOCUS);
  int64_t object, window, type;
  void* data;
  EventDataRelease release;
  while (int32_t code = EventPop(&object, &window, &type, &data, &release))
    consume(code, object, window, type, data, release);
}

template <typename Consume>
inline void DequeRound(std::deque<QueuedEvent>& queue, int64_t burst, Consume consume) {
  for (int64_t i = 0; i < burst; i++) {
    if (!queue.empty()) {
      const QueuedEvent& tail = queue.back();
      if (tail.code == EVENT_GADGET && tail.object == i && tail.window == 0 && tail.type == EVENT_TYPE_FOCUS) continue;
    }
    queue.push_back(QueuedEvent{nullptr, EVENT_GADGET, i, 0, EVENT_TYPE_FOCUS, nullptr, nullptr});
  }
  while (!queue.empty()) {
    const QueuedEvent& head = queue.front();
    consume(head.code, head.object, head.window, head.type, head.data, head.dataRelease);
    queue.pop_front();
  }
}
