// The temporary string buffer. See string_buffer.h for the calling
// convention every text producer follows.
//
// Memory exhaustion: no caller checks for it and none could recover, so when
// the string heap cannot supply memory (at start, on growth, for a copy) the
// process stops through KernelFatal instead of going on with a null or stale
// base. Likewise a reservation that would take the area past the signed
// 32-bit positions of the design stops the process rather than wrap, and so
// does a negative length or position, which only a caller that broke the
// calling convention can pass.
#include "core/string_buffer.h"

#include <string.h>

static TempStringBuffer buffer;

TempStringBuffer* StringBuffer(void) { return &buffer; }

void StringBufferStart(void) {
  buffer.stringHeap = KernelHeapCreate(4096);
  if (!buffer.stringHeap) KernelFatal("out of memory: cannot create the string heap");
  buffer.writePosition = 0;
  buffer.capacity = 16;
  buffer.base = static_cast<char*>(KernelHeapAlloc(buffer.stringHeap, 16, 0));
  if (!buffer.base) KernelFatal("out of memory: cannot allocate the string buffer");
}

char* StringReserve(int32_t length, int32_t position) {
  // Callers pass the current write position; should one pass a position
  // beyond it, the growth decision still covers what will be written.
  int64_t from = position > buffer.writePosition ? position : buffer.writePosition;
  int64_t need = from + length;
  if (length < 0 || position < 0) KernelFatal("negative position or length in the string buffer");
  if (need > INT32_MAX - 16384 - 5) KernelFatal("text too long for the string buffer");
  if (need >= buffer.capacity - 4) {
    int64_t capacity = need + 16384;
    char* grown = static_cast<char*>(KernelHeapReAlloc(buffer.stringHeap, buffer.base, (size_t)capacity + 5, 0));
    if (!grown) KernelFatal("out of memory: cannot grow the string buffer");
    buffer.base = grown;
    buffer.capacity = capacity;
  }
  buffer.writePosition = (int64_t)position + length;
  return buffer.base + position;
}

int64_t StringUnreserve(int32_t count) {
  buffer.writePosition -= count;
  return buffer.writePosition;
}

// Copies length bytes of source and terminates. Writes whole 4-byte units,
// so up to 3 bytes after the text are overwritten, the terminator and two
// zeros (every reservation and string-heap allocation has 5 spare bytes for
// that), but reads source only up to its length: a constant text may end
// right at its terminator. memmove, because a text taken from the area may
// overlap its destination.
static char* CopyUnits(char* destination, const char* source, size_t length) {
  size_t spare = (0 - length) & 3;  // bytes from the text's end to the unit's
  if (destination != source) memmove(destination, source, length);
  char* end = destination + length;
  end[0] = 0;
  if (spare > 1) end[1] = 0;
  if (spare > 2) end[2] = 0;
  return end;
}

// 1-based offset of a text anywhere in the area's allocation, 0 outside.
// Wider than StringOffsetOf, which counts only the part in use: a text that
// lies behind writePosition (a released result) dangles after a move just
// the same, so it is followed too.
static int64_t AreaOffsetOf(const char* text) {
  uintptr_t address = (uintptr_t)text;
  uintptr_t base = (uintptr_t)buffer.base;
  if (!text || !buffer.base || address < base || address >= base + (uintptr_t)buffer.capacity) return 0;
  return (int64_t)(address - base) + 1;
}

char* StringCopy(char* destination, const char* source, int32_t length) {
  return CopyUnits(destination, source, length > 0 ? (size_t)length : 0);
}

char* StringAppend(const char* text) {
  if (!text) {
    buffer.base[buffer.writePosition] = 0;
    return buffer.base + buffer.writePosition;
  }
  int64_t length = StringLength(text);
  if (length > INT32_MAX) KernelFatal("text too long for the string buffer");
  // A text inside the area is followed across a move, as in LeftChars.
  int64_t offset = AreaOffsetOf(text);
  char* destination = StringReserve((int32_t)length, (int32_t)buffer.writePosition);
  if (offset) text = StringAtOffset((int32_t)offset);
  return CopyUnits(destination, text, (size_t)length);
}

void StringDuplicate(char** slot, const char* text) {
  if (!text) return;
  size_t length = strlen(text);
  char* copy = static_cast<char*>(KernelHeapAlloc(buffer.stringHeap, length + 5, 0));
  if (!copy) KernelFatal("out of memory: cannot copy a text parameter");
  *slot = copy;
  CopyUnits(copy, text, length);
}

void StringDispose(char* copy) {
  if (copy) KernelHeapFree(buffer.stringHeap, copy);
}

int64_t StringLength(const char* text) { return text ? (int64_t)strlen(text) : 0; }

int64_t StringOffsetOf(const char* pointer) {
  uintptr_t address = (uintptr_t)pointer;
  uintptr_t base = (uintptr_t)buffer.base;
  if (!pointer || !buffer.base) return 0;
  if (address < base) return 0;
  if (address > base + (uintptr_t)buffer.writePosition) return 0;
  return (int64_t)(address - base) + 1;
}

char* StringAtOffset(int32_t offset) { return buffer.base + offset - 1; }

void LeftChars(const char* text, int32_t count, int32_t position) {
  int64_t length = StringLength(text);
  if (count < 0) count = 0;
  if (length > count) length = count;
  int64_t offset = AreaOffsetOf(text);
  char* destination = StringReserve((int32_t)length, position);
  if (offset) text = StringAtOffset((int32_t)offset);
  if (text && length > 0) CopyUnits(destination, text, (size_t)length);
  else *destination = 0;
}
