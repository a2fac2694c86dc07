// Operating-system services of cardcode. See cardcode_platform.h.
#include "app/cardcode/cardcode_platform.h"

#include <errno.h>
#include <string.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static UINT consoleCodePage;  // the console's output code page before start; 0 when untouched

static void ConsoleCodePageRestore(void) {
  if (consoleCodePage) SetConsoleOutputCP(consoleCodePage);
}

void PlatformStart(void) {
  // Text mode would turn "\n" into "\r\n" and stop reading a file at a
  // Ctrl+Z byte. A console keeps text mode for input, where Ctrl+Z is how
  // the user ends it.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  if (!_isatty(0)) _setmode(_fileno(stdin), _O_BINARY);
  // Messages are UTF-8; the console shows them right only in code page
  // 65001. The setting outlives the process, so it is put back at exit.
  if (_isatty(1) || _isatty(2)) {
    UINT previous = GetConsoleOutputCP();
    if (previous && previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
      consoleCodePage = previous;
      atexit(ConsoleCodePageRestore);
    }
  }
}

int PlatformIsTerminal(int descriptor) { return _isatty(descriptor) != 0; }

long PlatformRead(int descriptor, char* bytes, size_t length) {
  unsigned count = length > (1u << 30) ? (1u << 30) : (unsigned)length;
  for (;;) {
    int got = _read(descriptor, bytes, count);
    if (got >= 0 || errno != EINTR) return got;
  }
}

int PlatformWrite(int descriptor, const char* bytes, size_t length) {
  while (length > 0) {
    unsigned count = length > (1u << 30) ? (1u << 30) : (unsigned)length;
    int written = _write(descriptor, bytes, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      // The C runtime calls a pipe whose reader has gone EINVAL.
      DWORD error = GetLastError();
      if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) errno = EPIPE;
      return -1;
    }
    if (written == 0) {
      errno = ENOSPC;
      return -1;
    }
    bytes += written;
    length -= (size_t)written;
  }
  return 0;
}

int PlatformOpenRead(const char* path) { return _open(path, _O_RDONLY | _O_BINARY); }

void PlatformClose(int descriptor) { _close(descriptor); }

#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

void PlatformStart(void) {
  // A reader that went away must become EPIPE on write, so that cardcode
  // can say so and end with a failure code.
  signal(SIGPIPE, SIG_IGN);
}

int PlatformIsTerminal(int descriptor) { return isatty(descriptor) != 0; }

long PlatformRead(int descriptor, char* bytes, size_t length) {
  for (;;) {
    ssize_t got = read(descriptor, bytes, length);
    if (got >= 0 || errno != EINTR) return (long)got;
  }
}

int PlatformWrite(int descriptor, const char* bytes, size_t length) {
  while (length > 0) {
    ssize_t written = write(descriptor, bytes, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (written == 0) {
      errno = ENOSPC;
      return -1;
    }
    bytes += written;
    length -= (size_t)written;
  }
  return 0;
}

int PlatformOpenRead(const char* path) { return open(path, O_RDONLY); }

void PlatformClose(int descriptor) { close(descriptor); }
#endif

const char* PlatformErrorText(int error) { return strerror(error); }
