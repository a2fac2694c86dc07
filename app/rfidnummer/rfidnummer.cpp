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

// Appends ASCII text to a wide buffer of `capacity` characters, cut to fit.
static void WideAppendAscii(wchar_t* text, int capacity, const char* ascii) {
  int at = lstrlenW(text);
  while (*ascii && at < capacity - 1) text[at++] = static_cast<unsigned char>(*ascii++);
  text[at] = 0;
}

// Started from a desktop shell the program has no console, so the line on
// standard error would reach nobody; the box says it in the user's words.
static void FatalNoticeShow(const char* line) {
  // Joined by hand: a formatting call would pull the C library's printf
  // machinery into the program for this one line. The toolkit's line is
  // technical English; the user first reads what happened in German. The
  // box is the program's one use of the wide API, so that its umlauts
  // show whatever the ANSI code page; the escapes keep the source ASCII for
  // every compiler.
  wchar_t text[512] = L"RFID Nummer kann nicht fortgesetzt werden und wird beendet.\n\n";
  if (strncmp(line, "fatal: out of memory", 20) == 0)
    lstrcatW(text, L"Nicht gen\u00fcgend Arbeitsspeicher. Schlie\u00dfen Sie andere Programme, "
                   L"und starten Sie RFID Nummer erneut.\n\n");
  lstrcatW(text, L"Technische Details: ");
  WideAppendAscii(text, sizeof text / sizeof text[0], line);
  wchar_t title[64] = L"";
  WideAppendAscii(title, sizeof title / sizeof title[0], FATAL_NOTICE_TITLE);
  MessageBoxW(nullptr, text, title, MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  exitCode = 0;
  KernelFatalNoticeSet(FatalNoticeShow);
  ToolkitStart();

  if (MainWindowCreate()) EventLoopRun();

  ToolkitEnd();
  ExitProcess(exitCode);
}
