// Line reading in blocks. See cardcode_lines.h.
#include "app/cardcode/cardcode_lines.h"

#include <errno.h>
#include <string.h>

#include "app/cardcode/cardcode_platform.h"

enum { LINE_BLOCK_SIZE = 1 << 16 };

static char lineBlock[LINE_BLOCK_SIZE];

int LinesRead(int descriptor, const LineSink* sink, void* context) {
  // A "\r" at the end of a block is held back until the next byte shows
  // whether it starts a "\r\n" line end.
  int carriageReturnHeld = 0;
  int lineOpen = 0;  // bytes of an unfinished line have been seen
  for (;;) {
    long got = PlatformRead(descriptor, lineBlock, sizeof lineBlock);
    if (got < 0) return errno ? errno : EIO;
    if (got == 0) {
      if (carriageReturnHeld) sink->text(context, "\r", 1);
      if (lineOpen && sink->end(context)) return LINES_STOPPED;
      return 0;
    }
    const char* at = lineBlock;
    size_t rest = (size_t)got;
    if (carriageReturnHeld) {
      carriageReturnHeld = 0;
      if (*at == '\n') {
        at++;
        rest--;
        lineOpen = 0;
        if (sink->end(context)) return LINES_STOPPED;
      } else {
        sink->text(context, "\r", 1);
      }
    }
    while (rest > 0) {
      const char* newline = static_cast<const char*>(memchr(at, '\n', rest));
      if (!newline) {
        size_t length = rest;
        if (at[length - 1] == '\r') {
          carriageReturnHeld = 1;
          length--;
        }
        if (length > 0) sink->text(context, at, length);
        lineOpen = 1;
        break;
      }
      size_t length = (size_t)(newline - at);
      if (length > 0 && at[length - 1] == '\r') length--;
      if (length > 0) sink->text(context, at, length);
      lineOpen = 0;
      if (sink->end(context)) return LINES_STOPPED;
      rest -= (size_t)(newline - at) + 1;
      at = newline + 1;
    }
  }
}
