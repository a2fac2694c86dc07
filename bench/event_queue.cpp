// Posting and popping queued events against a std::deque of the same
// records: the queue must be no slower. Each iteration posts a burst of
// distinct events (as one dispatch does) and pops them all.
#include <benchmark/benchmark.h>

#include <deque>

#include "core/process_heap.h"
#include "window/event_queue.h"

namespace {

void QueuePostPop(benchmark::State& state) {
  const int64_t burst = state.range(0);
  for (auto _ : state) {
    for (int64_t i = 0; i < burst; i++) EventPost(EVENT_GADGET, i, 0, EVENT_TYPE_FOCUS);
    int64_t object, window, type;
    void* data;
    EventDataRelease release;
    while (EventPop(&object, &window, &type, &data, &release)) benchmark::DoNotOptimize(object);
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
      benchmark::DoNotOptimize(queue.front().object);
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
