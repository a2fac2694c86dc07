// Buffered standard output of cardcode. See cardcode_output.h.
#include "app/cardcode/cardcode_output.h"

#include <errno.h>
#include <string.h>

#include "app/cardcode/cardcode_platform.h"

enum { OUTPUT_CAPACITY = 1 << 16 };

struct OutputState {
  int descriptor;      // where the output goes
  int flushEachLine;   // non-zero: write at every line end
  int error;           // errno of the first failed write, 0 while none failed
  int lineStreamed;    // part of the unfinished line has been written
  size_t used;         // bytes held in bytes[]
  size_t lineStart;    // where the unfinished line begins in bytes[]
  char bytes[OUTPUT_CAPACITY];
};

static OutputState output;

static void OutputWrite(const char* bytes, size_t length) {
  if (output.error || length == 0) return;
  if (PlatformWrite(output.descriptor, bytes, length) != 0) output.error = errno ? errno : EIO;
}

void OutputStart(int descriptor, int flushEachLine) {
  output.descriptor = descriptor;
  output.flushEachLine = flushEachLine;
  output.error = 0;
  output.lineStreamed = 0;
  output.used = 0;
  output.lineStart = 0;
}

// Frees space by writing the complete lines; when the unfinished line alone
// fills the buffer, it has to go out too.
static void OutputMakeRoom(void) {
  if (output.lineStart > 0) {
    OutputWrite(output.bytes, output.lineStart);
    memmove(output.bytes, output.bytes + output.lineStart, output.used - output.lineStart);
    output.used -= output.lineStart;
    output.lineStart = 0;
  } else {
    OutputWrite(output.bytes, output.used);
    output.used = 0;
    output.lineStreamed = 1;
  }
}

void OutputBytes(const char* bytes, size_t length) {
  while (length > 0) {
    if (output.error) return;
    if (output.used == OUTPUT_CAPACITY) OutputMakeRoom();
    size_t room = OUTPUT_CAPACITY - output.used;
    size_t piece = length < room ? length : room;
    memcpy(output.bytes + output.used, bytes, piece);
    output.used += piece;
    bytes += piece;
    length -= piece;
  }
}

void OutputText(const char* text) { OutputBytes(text, strlen(text)); }

char* OutputReserve(size_t length) {
  // The second round, if needed, sends the unfinished line too.
  while (OUTPUT_CAPACITY - output.used < length) OutputMakeRoom();
  return output.bytes + output.used;
}

void OutputCommit(size_t length) {
  if (!output.error) output.used += length;
}

void OutputLineEnd(void) { OutputRecordEnd("", 0); }

void OutputRecordEnd(const char* lineEnd, size_t length) {
  if (length) {
    OutputBytes(lineEnd, length);
  } else {
    OutputBytes(PLATFORM_LINE_END, sizeof PLATFORM_LINE_END - 1);
  }
  output.lineStart = output.used;
  output.lineStreamed = 0;
  if (output.flushEachLine) OutputFlush();
}

int OutputDropLine(void) {
  int streamed = output.lineStreamed;
  output.used = output.lineStart;
  output.lineStreamed = 0;
  return streamed;
}

int OutputFlush(void) {
  OutputWrite(output.bytes, output.lineStart);
  memmove(output.bytes, output.bytes + output.lineStart, output.used - output.lineStart);
  output.used -= output.lineStart;
  output.lineStart = 0;
  return output.error;
}

int OutputError(void) { return output.error; }

void ReportProblem(const char* const* pieces) {
  char line[1024];
  size_t length = 0;
  const char* prefix = "cardcode: ";
  memcpy(line, prefix, strlen(prefix));
  length = strlen(prefix);
  for (; *pieces; pieces++) {
    for (const unsigned char* at = (const unsigned char*)*pieces; *at && length < sizeof line - 4; at++) {
      line[length++] = *at < 0x20 || *at == 0x7F ? '?' : (char)*at;
    }
  }
  memcpy(line + length, PLATFORM_LINE_END, sizeof PLATFORM_LINE_END - 1);
  length += sizeof PLATFORM_LINE_END - 1;
  // Nothing sensible is left to do when even standard error cannot be written.
  (void)PlatformWrite(PLATFORM_STDERR, line, length);
}
