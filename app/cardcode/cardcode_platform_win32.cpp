// Operating-system services of cardcode on Windows. See cardcode_platform.h.
#include "app/cardcode/cardcode_platform.h"

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
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

// _isatty is true for any character device, the NUL device too.
int PlatformInputIsConsole(void) {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// Text in UTF-8 as a new UTF-16 string, or null.
static wchar_t* WideOf(const char* text) {
  int count = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  wchar_t* wide = count > 0 ? static_cast<wchar_t*>(malloc((size_t)count * sizeof(wchar_t))) : nullptr;
  if (wide && MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, count) == count) return wide;
  free(wide);
  return nullptr;
}

static char* Utf8Of(const wchar_t* text) {
  int count = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  char* narrow = count > 0 ? static_cast<char*>(malloc((size_t)count)) : nullptr;
  if (narrow && WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, count, nullptr, nullptr) == count) return narrow;
  free(narrow);
  return nullptr;
}

// The C runtime splits the wide command line by the usual rules; only the
// conversion to UTF-8 is added, where main would get the ANSI code page's
// look-alikes.
char** PlatformArguments(int argc, wchar_t** wideArgv) {
  char** argv = static_cast<char**>(calloc((size_t)argc + 1, sizeof(char*)));
  for (int i = 0; argv && i < argc; i++) {
    argv[i] = Utf8Of(wideArgv[i]);
    if (!argv[i]) return nullptr;
  }
  return argv;
}

long PlatformRead(int descriptor, char* bytes, size_t length) {
  unsigned count = length > (1u << 30) ? (1u << 30) : (unsigned)length;
  for (;;) {
    int got = _read(descriptor, bytes, count);
    if (got >= 0 || errno != EINTR) return got;
  }
}

int PlatformWrite(int descriptor, const char* bytes, size_t length) {
  // WriteFile itself, for its error: the C runtime turns a pipe whose reader
  // has gone into EINVAL, or into a short write with no error at all.
  HANDLE handle = (HANDLE)_get_osfhandle(descriptor);
  while (length > 0) {
    DWORD count = length > (1u << 30) ? (1u << 30) : (DWORD)length, written = 0;
    if (!WriteFile(handle, bytes, count, &written, nullptr)) {
      DWORD error = GetLastError();
      if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) {
        errno = EPIPE;
      } else if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) {
        errno = ENOSPC;
      } else {
        errno = error == ERROR_ACCESS_DENIED ? EACCES : EIO;
      }
      return -1;
    }
    if (written == 0) {
      errno = ENOSPC;
      return -1;
    }
    bytes += written;
    length -= written;
  }
  return 0;
}

int PlatformOpenRead(const char* path) {
  wchar_t* wide = WideOf(path);
  if (!wide) {
    errno = ENOENT;
    return -1;
  }
  int descriptor = _wopen(wide, _O_RDONLY | _O_BINARY);
  int error = errno;
  // Opening a folder fails with access denied.
  DWORD attributes = descriptor < 0 ? GetFileAttributesW(wide) : INVALID_FILE_ATTRIBUTES;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) error = EISDIR;
  free(wide);
  errno = error;
  return descriptor;
}

void PlatformClose(int descriptor) { _close(descriptor); }

const char* PlatformErrorText(int error) { return error == EISDIR ? "ist ein Ordner" : strerror(error); }
