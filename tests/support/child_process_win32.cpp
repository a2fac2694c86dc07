// The Win32 half of the child-process helper. See child_process.h.
#include "support/child_process.h"

#include <string.h>

#include <gtest/gtest.h>

namespace support {

namespace {

// One argument as the C runtime's command-line split will give it back:
// quoted when needed, backslashes doubled only before a quote.
void ArgumentAppend(std::wstring* line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
    *line += argument;
    return;
  }
  *line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      backslashes++;
      continue;
    }
    line->append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    *line += c;
  }
  line->append(2 * backslashes, L'\\');
  *line += L'"';
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

struct WindowSearch {
  DWORD processId;
  const char* title;
  const char* className;
  HWND found;
};

BOOL CALLBACK WindowSearchStep(HWND window, LPARAM context) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
  char text[256] = {};
  if (search->title && (GetWindowTextA(window, text, sizeof text), strcmp(text, search->title) != 0)) return TRUE;
  if (search->className && (GetClassNameA(window, text, sizeof text), strcmp(text, search->className) != 0))
    return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

std::wstring WideText(const std::string& text) {
  int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
  std::wstring wide((size_t)count, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &wide[0], count);
  return wide;
}

bool ChildStart(ChildProcess* child, const std::string& program, const std::vector<std::string>& args,
                const ChildStreams& streams) {
  *child = ChildProcess();
  std::wstring path = WideText(program), line;
  ArgumentAppend(&line, path);
  for (const std::string& arg : args) {
    line += L' ';
    ArgumentAppend(&line, WideText(arg));
  }
  STARTUPINFOW start;
  ZeroMemory(&start, sizeof start);
  start.cb = sizeof start;
  bool handles = streams.input || streams.output || streams.errors;
  if (handles) {
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = streams.input;
    start.hStdOutput = streams.output;
    start.hStdError = streams.errors;
  }
  // Under Wine on a loaded machine a start now and then fails with an
  // internal error; a second attempt succeeds.
  for (int attempt = 0; attempt < 3; attempt++) {
    if (CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, handles, 0, nullptr, nullptr, &start,
                       &child->process))
      return true;
    child->process = PROCESS_INFORMATION();
    child->startError = (int)GetLastError();
    if (child->startError != ERROR_INTERNAL_ERROR) break;
  }
  return false;
}

ChildExit ChildAwaitExit(ChildProcess* child, unsigned timeoutMs, const std::string& awaited,
                         const std::function<void()>& meanwhile) {
  ChildExit exit = {};
  exit.code = -1;
  HANDLE process = child->process.hProcess;
  if (!process) {
    ADD_FAILURE() << "awaited " << awaited << ", but no program was started";
    return exit;
  }
  DWORD start = GetTickCount();
  for (;;) {
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(process, &code);
      exit.ended = true;
      exit.code = (int)code;
      ChildEnd(child);
      return exit;
    }
    DWORD waited = GetTickCount() - start;
    if (waited >= timeoutMs) break;
    if (meanwhile) {
      meanwhile();
    } else {
      MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - waited, QS_ALLINPUT);
      PumpMessages();
    }
  }
  ADD_FAILURE() << "awaited " << awaited << " within " << timeoutMs << " ms; ended it";
  ChildEnd(child);
  return exit;
}

bool ChildRunning(const ChildProcess* child) {
  return child->process.hProcess && WaitForSingleObject(child->process.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildEnd(ChildProcess* child) {
  if (!child->process.hProcess) return;
  if (ChildRunning(child)) {
    TerminateProcess(child->process.hProcess, 99);
    WaitForSingleObject(child->process.hProcess, 5000);
  }
  CloseHandle(child->process.hThread);
  CloseHandle(child->process.hProcess);
  child->process = PROCESS_INFORMATION();
}

HWND ChildWindow(const ChildProcess& child, const char* title, const char* className) {
  WindowSearch search = {child.process.dwProcessId, title, className, nullptr};
  if (child.process.hProcess) EnumWindows(WindowSearchStep, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ChildWindowAwait(const ChildProcess& child, const char* title, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    if (HWND window = ChildWindow(child, title)) return window;
    if (!ChildRunning(&child)) {
      DWORD code = 0;
      if (child.process.hProcess) GetExitCodeProcess(child.process.hProcess, &code);
      ADD_FAILURE() << "awaited a window titled \"" << title << "\"; the program ended with code " << code;
      return nullptr;
    }
    DWORD waited = GetTickCount() - start;
    if (waited >= timeoutMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  ADD_FAILURE() << "awaited a window titled \"" << title << "\" within " << timeoutMs << " ms";
  return nullptr;
}

}  // namespace support
