// Measures how long a program takes from its process start until its window
// titled "RFID Nummer" is visible with four visible controls, then closes it
// and waits for its end. Used by scripts/footprint.sh, which runs it under
// Wine for the utility and for the raw floor program in turn.
//
//   startup_probe PROGRAM RUNS
// prints one line per run: "startup_ms <milliseconds> exit <code>".
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

namespace {

struct Search {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK CountVisibleChild(HWND child, LPARAM context) {
  if (IsWindowVisible(child)) ++*reinterpret_cast<int*>(context);
  return TRUE;
}

BOOL CALLBACK FindReadyWindow(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  if (lstrcmpA(title, "RFID Nummer") != 0) return TRUE;
  int children = 0;
  EnumChildWindows(window, CountVisibleChild, reinterpret_cast<LPARAM>(&children));
  if (children < 4) return TRUE;
  search->window = window;
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: startup_probe PROGRAM RUNS\n");
    return 2;
  }
  int runs = atoi(argv[2]);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int run = 0; run < runs; run++) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char commandLine[1024];
    snprintf(commandLine, sizeof commandLine, "\"%s\"", argv[1]);
    LARGE_INTEGER started, ready;
    QueryPerformanceCounter(&started);
    if (!CreateProcessA(argv[1], commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      fprintf(stderr, "cannot start %s (error %lu)\n", argv[1], GetLastError());
      return 1;
    }
    Search search = {process.dwProcessId, nullptr};
    DWORD waited = GetTickCount();
    // Polled: the only outside sign of "visible" is the window state itself.
    while (!search.window && GetTickCount() - waited < 30000) {
      EnumWindows(FindReadyWindow, reinterpret_cast<LPARAM>(&search));
      if (!search.window) Sleep(1);
    }
    QueryPerformanceCounter(&ready);
    DWORD exitCode = 999;
    if (search.window) {
      PostMessageA(search.window, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &exitCode);
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 998);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!search.window) {
      fprintf(stderr, "no ready window from %s within 30 s\n", argv[1]);
      return 1;
    }
    double milliseconds = 1000.0 * static_cast<double>(ready.QuadPart - started.QuadPart) / frequency.QuadPart;
    printf("startup_ms %.2f exit %lu\n", milliseconds, exitCode);
    fflush(stdout);
  }
  return 0;
}
