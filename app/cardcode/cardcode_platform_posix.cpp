// Operating-system services of cardcode on POSIX. See cardcode_platform.h.
#include "app/cardcode/cardcode_platform.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
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

// The file PlatformCreateBeside made, while it is neither in place nor
// removed: an interrupted run (Ctrl+C) removes it on its way out.
static const char* pendingFile;

static void PendingRemove(int signalNumber) {
  if (pendingFile) unlink(pendingFile);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

int PlatformCreateBeside(const char* path, char** temporary) {
  struct stat old;
  int exists = stat(path, &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) {
    errno = EISDIR;
    return -1;
  }
  // A device or a pipe (/dev/null) is written as it is, never replaced.
  if (exists && !S_ISREG(old.st_mode)) {
    *temporary = nullptr;
    return open(path, O_WRONLY);
  }
  size_t size = strlen(path) + 40;
  char* name = static_cast<char*>(malloc(size));
  if (!name) return errno = ENOMEM, -1;
  snprintf(name, size, "%s.cardcode-%ld.tmp", path, (long)getpid());
  int descriptor = open(name, O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (descriptor < 0) {
    int error = errno;
    free(name);
    return errno = error, -1;
  }
  // The new file keeps the permissions of the one it replaces.
  if (exists) (void)fchmod(descriptor, old.st_mode & 07777);
  *temporary = name;
  pendingFile = name;
  signal(SIGINT, PendingRemove);
  signal(SIGTERM, PendingRemove);
  signal(SIGHUP, PendingRemove);
  return descriptor;
}

int PlatformReplace(const char* temporary, const char* path) {
  int result = rename(temporary, path);
  if (result == 0) pendingFile = nullptr;
  return result;
}

void PlatformRemove(const char* path) {
  unlink(path);
  pendingFile = nullptr;
}

int PlatformClose(int descriptor) { return close(descriptor); }

const char* PlatformErrorText(int error) {
  switch (error) {
    case ENOENT: return "Datei oder Ordner nicht gefunden";
    case EACCES:
    case EPERM: return "Zugriff verweigert";
    case EISDIR: return "Das ist ein Ordner, keine Datei";
    case ENOSPC: return "Nicht genügend Speicherplatz auf dem Datenträger";
#ifdef EDQUOT
    case EDQUOT: return "Das Speicherkontingent ist erschöpft";
#endif
    case EIO: return "Ein-/Ausgabefehler des Geräts";
    default: return strerror(error);
  }
}
