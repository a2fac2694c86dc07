// Reading an input line by line in fixed-size blocks, so that a line of any
// length (even gigabytes without a newline) needs no more memory than one
// block.
//
// A line ends at "\n"; a "\r" right before it belongs to the line end too, a
// "\r" anywhere else is text. A final line without a line end counts; the
// end of the input right after a line end adds no empty line. The sink gets
// each line as pieces of text (none for an empty line), then its end.
#pragma once

#include <stddef.h>

struct LineSink {
  void (*text)(void* context, const char* bytes, size_t length);  // next piece of the current line
  int (*end)(void* context);  // the line is complete; non-zero stops the reading
};

enum { LINES_STOPPED = -1 };

// 0 at the end of the input, LINES_STOPPED when the sink asked to stop, or
// the errno of a failed read (the current line is then incomplete).
int LinesRead(int descriptor, const LineSink* sink, void* context);
