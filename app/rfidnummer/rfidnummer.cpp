// The process entry: starts every library in a fixed order (each start
// relies on the ones before it), runs the window, and stops them in a fixed
// order. The process always ends with exit code 0. It reads no command line
// and writes nothing.
#include <windows.h>

#include "app/rfidnummer/rfidnummer.h"
#include "app/toolkit_lifecycle.h"

static UINT exitCode;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  exitCode = 0;
  ToolkitStart();

  if (MainWindowCreate()) EventLoopRun();

  ToolkitEnd();
  ExitProcess(exitCode);
}
