// Operating-system services of cardcode on POSIX. See cardcode_platform.h.
#include "app/cardcode/cardcode_platform.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

void PlatformStart(void) {
  // A reader that went away must become EPIPE on write, so that cardcode
  // ends with its failure code instead of being killed.
  signal(SIGPIPE, SIG_IGN);
}

int PlatformIsTerminal(int descriptor) { return isatty(descriptor) != 0; }

int PlatformInputIsConsole(void) { return isatty(PLATFORM_STDIN) != 0; }

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

int PlatformOpenRead(const char* path) {
  int descriptor = open(path, O_RDONLY);
  struct stat status;
  // A folder opens, and fails only at the first read.
  if (descriptor >= 0 && fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
    close(descriptor);
    errno = EISDIR;
    return -1;
  }
  return descriptor;
}

void PlatformClose(int descriptor) { close(descriptor); }

const char* PlatformErrorText(int error) { return error == EISDIR ? "ist ein Ordner" : strerror(error); }
