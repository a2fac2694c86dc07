// cardcode at a terminal, as with a USB card reader that types the digits
// and presses Enter: with the terminal as input and output each result
// shows as soon as its line is entered; into a pipe, output is held back
// until the end (full buffering).
#include <gtest/gtest.h>

#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cardcode_process.h"

namespace {

// One field of /proc/PID/io ("rchar", "syscw"), or -1.
long ProcessIoCounter(int pid, const char* name) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/io", pid);
  FILE* file = fopen(path, "r");
  if (!file) return -1;
  char key[32];
  long value = -1, found = -1;
  while (fscanf(file, "%31[^:]: %ld\n", key, &value) == 2) {
    if (strcmp(key, name) == 0) found = value;
  }
  fclose(file);
  return found;
}

// Non-zero while the process sleeps, here: waits for terminal input.
bool ProcessSleeps(int pid) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/stat", pid);
  FILE* file = fopen(path, "r");
  if (!file) return false;
  char line[512] = {0};
  bool sleeps = fgets(line, sizeof line, file) && strstr(line, ") S ");
  fclose(file);
  return sleeps;
}

// Waits (bounded: 10 s) until the process has read at least `bytes` and is
// waiting for input again.
bool AwaitReadAndWaiting(int pid, long bytes) {
  for (int tries = 0; tries < 1000; tries++) {
    if (ProcessIoCounter(pid, "rchar") >= bytes && ProcessSleeps(pid)) return true;
    timespec pause = {0, 10 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  return false;
}

struct TypedLine {
  const char* typed;     // as the reader sends it: Enter is "\r"
  std::string expected;  // the line that must show before the next is typed
};

struct TypedSession {
  std::vector<std::string> args;
  std::vector<TypedLine> lines;
  int exitCode;
  // Typed at the terminal, with no input named, a first line on standard
  // error says what to enter and how to end.
  const char* hint;
};

TEST(CardcodeTerminal, EachEnteredLineShowsItsResultAtOnce) {
  const TypedSession sessions[] = {
      {{}, {{"12345678\r", "1D 00BC614E 2\n"}, {"-15\r", "1D FFFFFFFFFFFFFFF1 15\n"}, {"\r", "1D 00000000 10\n"},
            {"$FF\r", "1D 000000FF 5\n"}}, 0, "Nummern ein, eine"},
      {{"--verify"}, {{"1D 00BC614E 2\r", "12345678 OK\n"}, {"1D 00BC614E 3\r", "Prüfwert 3 falsch, richtig wäre 2\n"}},
       1, "Codes ein, einen"},
  };
  for (const TypedSession& session : sessions) {
    TerminalChild child = StartOnTerminal(session.args, true, false);
    for (const TypedLine& line : session.lines) {
      ASSERT_EQ(write(child.master, line.typed, strlen(line.typed)), (ssize_t)strlen(line.typed));
      EXPECT_EQ(ReadUntil(child.master, line.expected, 10), line.expected)
          << "the result of " << line.typed << " within 10 s, while cardcode still waits for more";
    }
    ASSERT_EQ(write(child.master, "\x04", 1), 1);  // end of input, as Ctrl+D
    std::string out, err;
    EXPECT_EQ(FinishOnTerminal(&child, &out, &err), session.exitCode);
    EXPECT_EQ(err, std::string("cardcode: Geben Sie die ") + session.hint +
                       " pro Zeile. Beenden mit Strg+D. (Hilfe: cardcode --help)\n");
  }
}

TEST(CardcodeTerminal, IntoAPipeTheOutputWaitsForTheEnd) {
  TerminalChild child = StartOnTerminal({}, false, false);
  ASSERT_TRUE(AwaitReadAndWaiting(child.process.pid, 0)) << "cardcode waiting for input within 10 s";
  long before = ProcessIoCounter(child.process.pid, "rchar");
  ASSERT_GE(before, 0) << "/proc/PID/io is readable";
  const char typed[] = "1\r2\r3\r";
  ASSERT_EQ(write(child.master, typed, sizeof typed - 1), (ssize_t)(sizeof typed - 1));
  ASSERT_TRUE(AwaitReadAndWaiting(child.process.pid, before + (long)sizeof typed - 1))
      << "cardcode read the three lines and waits for more, within 10 s";
  EXPECT_EQ(ProcessIoCounter(child.process.pid, "syscw"), 1) << "nothing written yet but the typing hint";
  pollfd ready = {child.output, POLLIN, 0};
  EXPECT_EQ(poll(&ready, 1, 0), 0) << "no output in the pipe yet";
  ASSERT_EQ(write(child.master, "\x04", 1), 1);
  std::string out, err;
  EXPECT_EQ(FinishOnTerminal(&child, &out, &err), 0);
  EXPECT_EQ(out, ModelCode(1) + "\n" + ModelCode(2) + "\n" + ModelCode(3) + "\n");
}

}  // namespace
