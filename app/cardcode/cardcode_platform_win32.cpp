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
// The last failure: the errno it was reported with and the system's own
// error code behind it, for its text in the user's language.
static int failedErrno;
static DWORD failedSystemError;

static int Failed(int error, DWORD systemError) {
  failedErrno = error;
  failedSystemError = systemError;
  errno = error;
  return -1;
}

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
    if (got >= 0) return got;
    if (errno != EINTR) return Failed(errno, _doserrno);
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
      return Failed(errno, error);
    }
    if (written == 0) return Failed(ENOSPC, ERROR_DISK_FULL);
    bytes += written;
    length -= written;
  }
  return 0;
}

int PlatformOpenRead(const char* path) {
  wchar_t* wide = WideOf(path);
  if (!wide) return Failed(ENOENT, ERROR_INVALID_NAME);
  int descriptor = _wopen(wide, _O_RDONLY | _O_BINARY);
  int error = errno;
  DWORD systemError = _doserrno;
  // Opening a folder fails with access denied.
  DWORD attributes = descriptor < 0 ? GetFileAttributesW(wide) : INVALID_FILE_ATTRIBUTES;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) error = EISDIR;
  free(wide);
  return descriptor >= 0 ? descriptor : Failed(error, systemError);
}

// The file PlatformCreateBeside made, while it is neither in place nor
// removed: Ctrl+C or closing the console window removes it on the way out
// (it is open for deletion, so that it goes when the process ends).
static wchar_t* pendingFile;

static BOOL WINAPI PendingRemove(DWORD) {
  if (pendingFile) DeleteFileW(pendingFile);
  return FALSE;
}

static void PendingForget(void) {
  wchar_t* file = pendingFile;
  pendingFile = nullptr;
  free(file);
}

int PlatformCreateBeside(const char* path, char** temporary) {
  size_t size = strlen(path) + 40;
  char* name = static_cast<char*>(malloc(size));
  if (!name) return Failed(ENOMEM, ERROR_NOT_ENOUGH_MEMORY);
  snprintf(name, size, "%s.cardcode-%lu.tmp", path, (unsigned long)GetCurrentProcessId());
  wchar_t* wide = WideOf(path);
  wchar_t* wideName = WideOf(name);
  DWORD attributes = wide ? GetFileAttributesW(wide) : INVALID_FILE_ATTRIBUTES;
  int descriptor = -1;
  if (!wide || !wideName) {
    Failed(ENOENT, ERROR_INVALID_NAME);
  } else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Failed(EISDIR, ERROR_ACCESS_DENIED);
  } else {
    HANDLE file = CreateFileW(wideName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      Failed(GetLastError() == ERROR_ACCESS_DENIED ? EACCES : ENOENT, GetLastError());
    } else {
      descriptor = _open_osfhandle((intptr_t)file, _O_WRONLY | _O_BINARY);
      if (descriptor < 0) CloseHandle(file), Failed(EMFILE, ERROR_TOO_MANY_OPEN_FILES);
    }
  }
  int error = errno;
  free(wide);
  if (descriptor < 0) {
    free(wideName);
    free(name);
    errno = error;
    return -1;
  }
  pendingFile = wideName;
  SetConsoleCtrlHandler(PendingRemove, TRUE);
  *temporary = name;
  return descriptor;
}

int PlatformReplace(const char* temporary, const char* path) {
  wchar_t* wide = WideOf(path);
  wchar_t* wideTemporary = WideOf(temporary);
  int moved = wide && wideTemporary && MoveFileExW(wideTemporary, wide, MOVEFILE_REPLACE_EXISTING);
  DWORD systemError = GetLastError();
  free(wide);
  free(wideTemporary);
  if (!moved) return Failed(EACCES, systemError);
  PendingForget();
  return 0;
}

void PlatformRemove(const char* path) {
  wchar_t* wide = WideOf(path);
  if (wide) DeleteFileW(wide);
  free(wide);
  PendingForget();
}

int PlatformClose(int descriptor) { return _close(descriptor) == 0 ? 0 : Failed(errno, _doserrno); }

// FormatMessageW's text for the system's error code, in the user's
// language, in UTF-8 and without the closing period and line end.
const char* PlatformErrorText(int error) {
  // The system's text for opening a folder is "access denied", which sends
  // the user looking for permissions; name what it is instead.
  if (error == EISDIR) return "Das ist ein Ordner, keine Datei";
  static char text[512];
  static const struct {
    int error;
    DWORD systemError;
  } known[] = {{ENOENT, ERROR_FILE_NOT_FOUND}, {EACCES, ERROR_ACCESS_DENIED}, {ENOSPC, ERROR_DISK_FULL},
               {ENOMEM, ERROR_NOT_ENOUGH_MEMORY}};
  DWORD systemError = error == failedErrno ? failedSystemError : 0;
  for (const auto& entry : known) {
    if (!systemError && entry.error == error) systemError = entry.systemError;
  }
  wchar_t wide[256];
  DWORD length = systemError ? FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                              systemError, 0, wide, 256, nullptr)
                             : 0;
  while (length > 0 && (wide[length - 1] == L'\r' || wide[length - 1] == L'\n' || wide[length - 1] == L' ' ||
                        wide[length - 1] == L'.')) {
    length--;
  }
  if (length == 0) return strerror(error);
  int made = WideCharToMultiByte(CP_UTF8, 0, wide, (int)length, text, sizeof text - 1, nullptr, nullptr);
  text[made > 0 ? made : 0] = 0;
  return made > 0 ? text : strerror(error);
}
