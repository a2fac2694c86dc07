// Starting a program as a child process in a test, and waiting for it: the
// one way for every test that runs a program (cardcode, the utility and its
// budget copy, the size demo, a test program in a second role). The POSIX
// half is child_process_posix.cpp, the Win32 half child_process_win32.cpp.
//
// The child gets the caller's descriptors (Win32: inheritable handles) as
// its standard input, output and error; the caller keeps its own ends and
// closes them. Every wait is bounded: when its time runs out it fails the
// test with what was awaited, ends the child and collects it, so that no
// test hangs on a child or leaves one behind. A child is released once, by
// ChildAwaitExit or, on paths that give up on it, by ChildEnd.
#pragma once

#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace support {

#ifdef _WIN32
using ChildStream = HANDLE;
const ChildStream CHILD_NO_STREAM = nullptr;  // none (a GUI program needs none)
#else
using ChildStream = int;
const ChildStream CHILD_NO_STREAM = -1;  // the test's own
#endif

struct ChildStreams {
  ChildStream input = CHILD_NO_STREAM;
  ChildStream output = CHILD_NO_STREAM;
  ChildStream errors = CHILD_NO_STREAM;
};

struct ChildProcess {
#ifdef _WIN32
  PROCESS_INFORMATION process;  // zero until started and after release
#else
  int pid;                      // 0 until started and after release
#endif
  int startError;               // errno or GetLastError of a failed start
};

struct ChildExit {
  bool ended;          // false: the wait ran out and the child was ended
  int code;            // its exit code; -1 when a signal ended it
  int signal;          // POSIX: the signal that ended it
  long maxResidentKb;  // POSIX: its peak resident memory
};

// Starts `program` with `args` (POSIX: argv[1] on; Win32: quoted as the C
// runtime splits them, UTF-8 passed on as UTF-16). False when it could not
// be started (startError says why).
bool ChildStart(ChildProcess* child, const std::string& program, const std::vector<std::string>& args,
                const ChildStreams& streams = ChildStreams());
// Waits up to timeoutMs for the child's end and releases it. `meanwhile`,
// when given, runs again and again while it waits; otherwise the Win32 half
// pumps this thread's messages, since a child's start and end may send
// messages to this thread's windows (activation changes).
ChildExit ChildAwaitExit(ChildProcess* child, unsigned timeoutMs, const std::string& awaited,
                         const std::function<void()>& meanwhile = nullptr);
// Ends the child if it still runs and releases it; nothing for a child that
// never started or was released already.
void ChildEnd(ChildProcess* child);

#ifdef _WIN32
bool ChildRunning(const ChildProcess* child);
// A visible top-level window of the child with this title and class (null:
// any), or null.
HWND ChildWindow(const ChildProcess& child, const char* title, const char* className = nullptr);
// Waits, pumping, until the child shows a visible top-level window titled
// `title`; on timeout fails the test naming the title and returns null.
HWND ChildWindowAwait(const ChildProcess& child, const char* title, unsigned timeoutMs = 15000);
// UTF-8 text as UTF-16, as the Win32 half hands arguments on.
std::wstring WideText(const std::string& text);
#endif

}  // namespace support
