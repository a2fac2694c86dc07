// RunOnce, through whichever path the platform takes (InitOnceExecuteOnce
// under Wine, the compare-exchange fallback natively) and through the
// fallback on its own, so that both are exercised on Windows too.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/run_once.h"

namespace {

typedef void (*OnceRunner)(void** onceWord, KernelOnceRoutine routine);

struct Path {
  const char* name;
  OnceRunner run;
};
const Path paths[] = {{"RunOnce", RunOnce}, {"compare-exchange fallback", RunOnceByCompareExchange}};

int simpleRuns;
void CountRun(void) { simpleRuns++; }

TEST(RunOnce, RunsTheRoutineOncePerOnceWord) {
  for (const Path& path : paths) {
    SCOPED_TRACE(path.name);
    void* first = nullptr;
    void* second = nullptr;
    simpleRuns = 0;
    path.run(&first, CountRun);
    path.run(&first, CountRun);
    EXPECT_EQ(simpleRuns, 1);
    EXPECT_NE(first, nullptr) << "the once-word records completion";
    path.run(&second, CountRun);
    EXPECT_EQ(simpleRuns, 2) << "another once-word runs it again";
  }
}

#ifdef _WIN32
TEST(RunOnce, UsesThePlatformPrimitiveWhereThereIsOne) {
  void* word = nullptr;
  simpleRuns = 0;
  RunOnce(&word, CountRun);
  EXPECT_EQ(simpleRuns, 1);
  // The fallback leaves exactly 2 in the word; the platform's INIT_ONCE state
  // is its own.
  EXPECT_NE(word, reinterpret_cast<void*>(2));
}
#endif

// A routine slow enough that every other caller arrives while it runs.
const int CALLERS = 8;
std::atomic<int> arrived;
std::atomic<int> routineRuns;
std::atomic<bool> routineFinished;

void SlowRoutine(void) {
  routineRuns++;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (arrived.load() < CALLERS && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  // Give the late callers time to reach their wait.
  for (int i = 0; i < 2000; i++) std::this_thread::yield();
  routineFinished = true;
}

TEST(RunOnce, ConcurrentCallersRunItOnceAndAllReturnAfterItFinished) {
  for (const Path& path : paths) {
    SCOPED_TRACE(path.name);
    void* word = nullptr;
    arrived = 0;
    routineRuns = 0;
    routineFinished = false;
    std::atomic<bool> go{false};
    std::vector<int> sawFinished(CALLERS, -1);
    std::vector<std::thread> callers;
    for (int c = 0; c < CALLERS; c++) {
      callers.emplace_back([&, c] {
        while (!go.load()) std::this_thread::yield();
        arrived++;
        path.run(&word, SlowRoutine);
        sawFinished[c] = routineFinished.load() ? 1 : 0;
      });
    }
    go = true;
    for (auto& caller : callers) caller.join();
    EXPECT_EQ(routineRuns.load(), 1);
    for (int c = 0; c < CALLERS; c++) EXPECT_EQ(sawFinished[c], 1) << "caller " << c << " returned too early";
  }
}

}  // namespace
