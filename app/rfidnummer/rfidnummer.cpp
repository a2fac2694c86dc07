// The process entry: starts every library in a fixed order (each start
// relies on the ones before it), runs the window, and stops them in a fixed
// order. The process ends with exit code 0; only a stop where it cannot go
// on (no memory to start with) ends it with 3, after one line on standard
// error that a message box repeats. It reads no command line.
#include <windows.h>

#include <string.h>

#include "app/rfidnummer/rfidnummer.h"
#include "app/toolkit_lifecycle.h"
#include "core/kernel.h"

static UINT exitCode;

// Started from a desktop shell the program has no console, so the line on
// standard error would reach nobody; the box says it in the user's words.
static void FatalNoticeShow(const char* line) {
  // Joined by hand: a formatting call would pull the C library's printf
  // machinery into the program for this one line. The toolkit's line is
  // technical English; the user first reads what happened in German.
  char text[400] = "RFID Nummer kann nicht weiterlaufen und wird beendet.\n\n";
  if (strncmp(line, "fatal: out of memory", 20) == 0)
    lstrcatA(text, "Der Arbeitsspeicher reicht nicht aus.\n\n");
  lstrcatA(text, "Technische Angabe: ");
  const int intro = lstrlenA(text);
  lstrcpynA(text + intro, line, static_cast<int>(sizeof text) - intro);
  MessageBoxA(nullptr, text, FATAL_NOTICE_TITLE, MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  exitCode = 0;
  KernelFatalNoticeSet(FatalNoticeShow);
  ToolkitStart();

  if (MainWindowCreate()) EventLoopRun();

  ToolkitEnd();
  ExitProcess(exitCode);
}
