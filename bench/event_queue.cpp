// Posting and popping queued events against a std::deque of the same
// records: the queue must be no slower. Each iteration posts a burst of
// distinct events (as one dispatch does) and pops them all. Both sides do
// the same work: the deque makes the queue's tail comparison before a push,
// and every pop hands over all six fields, as EventPop must for its caller.
#include <benchmark/benchmark.h>

#include <deque>

#include "core/process_heap.h"
#include "window/event_queue.h"

namespace {

// What a caller of EventPop receives; kept alive so that neither side can
// skip reading a field.
inline void Consume(int32_t code, int64_t object, int64_t window, int64_t type, void* data,
                    EventDataRelease release) {
  benchmark::DoNotOptimize(code);
  benchmark::DoNotOptimize(object);
  benchmark::DoNotOptimize(window);
  benchmark::DoNotOptimize(type);
  benchmark::DoNotOptimize(data);
  benchmark::DoNotOptimize(release);
}

void QueuePostPop(benchmark::State& state) {
  const int64_t burst = state.range(0);
  for (auto _ : state) {
    for (int64_t i = 0; i < burst; i++) EventPost(EVENT_GADGET, i, 0, EVENT_TYPE_FOCUS);
    int64_t object, window, type;
    void* data;
    EventDataRelease release;
    while (int32_t code = EventPop(&object, &window, &type, &data, &release))
      Consume(code, object, window, type, data, release);
  }
  state.SetItemsProcessed(state.iterations() * burst);
}

void DequePostPop(benchmark::State& state) {
  const int64_t burst = state.range(0);
  std::deque<QueuedEvent> queue;
  for (auto _ : state) {
    for (int64_t i = 0; i < burst; i++) {
      // The same tail comparison as the queue, so both do the same work.
      if (!queue.empty()) {
        const QueuedEvent& tail = queue.back();
        if (tail.code == EVENT_GADGET && tail.object == i && tail.window == 0 && tail.type == EVENT_TYPE_FOCUS)
          continue;
      }
      queue.push_back(QueuedEvent{nullptr, EVENT_GADGET, i, 0, EVENT_TYPE_FOCUS, nullptr, nullptr});
    }
    while (!queue.empty()) {
      const QueuedEvent& head = queue.front();
      Consume(head.code, head.object, head.window, head.type, head.data, head.dataRelease);
      queue.pop_front();
    }
  }
  state.SetItemsProcessed(state.iterations() * burst);
}

BENCHMARK(QueuePostPop)->Arg(3)->Arg(64)->Arg(1024);
BENCHMARK(DequePostPop)->Arg(3)->Arg(64)->Arg(1024);

}  // namespace

int main(int argc, char** argv) {
  ProcessHeapStart();
  EventLibraryStart();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
