// The temporary string buffer: the one growable area in which every text
// result of the system is produced.
//
// Calling convention for every text producer (StringAppend, LeftChars,
// FormatHex, FormatDecimal, GadgetTextGet, CardCode, PaddedHex8):
//   - the caller passes the current writePosition as the position;
//   - the producer writes its text and a terminator from there and returns
//     with writePosition on that terminator, so producers concatenate;
//   - the caller keeps positions, and forms a pointer (base + position) only
//     when it hands the text on: any reservation may move base;
//   - a statement saves writePosition before its first producer and restores
//     it at its end, releasing all its intermediate results at once;
//   - before handing a result to a call that may itself use the area, the
//     caller advances writePosition by one, past the result's terminator;
//   - a procedure with a text parameter works on a StringDuplicate copy,
//     since the parameter usually lies where its result is written.
// Single-threaded: only the GUI thread (or cardcode's one thread) uses it.
// If the string heap cannot supply memory the process stops (KernelFatal);
// no caller ever sees a null or stale base. StringReserve stops it too for
// a negative length or position (a caller that broke the convention) and
// for a reservation past the signed 32-bit positions.
#pragma once

#include <stdint.h>

#include "core/kernel.h"

struct TempStringBuffer {
  KernelHeap stringHeap;  // private heap: the area and StringDuplicate copies only
  char* base;             // first byte of the area; moves when the area grows
  int64_t writePosition;  // first byte not in use; the newest result's terminator
  int64_t capacity;       // nominal size; the allocation is capacity + 5 after growth
};

TempStringBuffer* StringBuffer(void);

void StringBufferStart(void);
char* StringReserve(int32_t length, int32_t position);
int64_t StringUnreserve(int32_t count);
char* StringAppend(const char* text);
char* StringCopy(char* destination, const char* source, int32_t length);
void StringDuplicate(char** slot, const char* text);
void StringDispose(char* copy);
int64_t StringLength(const char* text);
int64_t StringOffsetOf(const char* pointer);
char* StringAtOffset(int32_t offset);
void LeftChars(const char* text, int32_t count, int32_t position);
