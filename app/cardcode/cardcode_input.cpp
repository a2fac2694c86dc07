// Inputs as UTF-8 blocks. See cardcode_input.h.
#include "app/cardcode/cardcode_input.h"

#include <errno.h>
#include <string.h>

#include "app/cardcode/cardcode_platform.h"

static int Utf16(const InputState* in) { return in->kind == TEXT_UTF16LE || in->kind == TEXT_UTF16BE; }

// The UTF-8 text of bytes read: the bytes themselves, or decoded.
static const char* TextOf(InputState* in, const unsigned char* bytes, size_t length, size_t* textLength) {
  if (in->kind == TEXT_PLAIN) return PlainDecode(&in->plain, bytes, length, in->decoded, textLength);
  if (!Utf16(in)) {
    *textLength = length;
    return reinterpret_cast<const char*>(bytes);
  }
  *textLength = Utf16Decode(&in->decoder, bytes, length, in->decoded);
  return in->decoded;
}

// Adds the text of bytes read at the start to what the first InputNext
// hands on; scan: separator detection reads it, up to its limit.
static void Hold(InputState* in, const unsigned char* bytes, size_t length, int scan) {
  char* at = in->held + in->heldLength;
  size_t added = 0;
  const char* text = TextOf(in, bytes, length, &added);
  memcpy(at, text, added);
  size_t room = SCAN_LIMIT - in->heldLength;
  if (scan) FirstRecordScan(&in->scan, at, added < room ? added : room);
  in->heldLength += added;
}

int InputStart(InputState* in, int descriptor, int wholeFirstRecord) {
  in->descriptor = descriptor;
  in->firstPending = 1;
  in->ended = in->finished = in->error = 0;
  in->have = in->heldLength = 0;
  in->scan = SeparatorScan{};
  // Until the mark, or its absence, is certain.
  do {
    long got = PlatformRead(descriptor, (char*)in->block + in->have, sizeof in->block - in->have);
    if (got < 0) return errno ? errno : EIO;
    in->ended = got == 0;
    in->have += (size_t)got;
    in->kind = TextKindOf(in->block, in->have, !in->ended && in->have < sizeof in->block, &in->markLength);
  } while (in->kind == TEXT_UNDECIDED);
  Utf16Start(&in->decoder, in->kind == TEXT_UTF16BE);
  PlainStart(&in->plain);
  Hold(in, in->block + in->markLength, in->have - in->markLength, wholeFirstRecord);
  while (wholeFirstRecord && !in->ended && !in->scan.complete && in->heldLength < SCAN_LIMIT) {
    long got = PlatformRead(descriptor, (char*)in->block, sizeof in->block);
    if (got < 0) return errno ? errno : EIO;
    in->ended = got == 0;
    Hold(in, in->block, (size_t)got, 1);
  }
  return 0;
}

int InputNext(InputState* in, const char** text, size_t* length) {
  if (in->firstPending) {
    in->firstPending = 0;
    *text = in->held;
    *length = in->heldLength;
    return 1;
  }
  if (in->finished) return 0;
  long got = in->ended ? 0 : PlatformRead(in->descriptor, (char*)in->block, sizeof in->block);
  if (got < 0) {
    in->error = errno ? errno : EIO;
    return 0;
  }
  if (got == 0) {
    // However the end was met: what a decoder still holds (an odd byte, a
    // lone surrogate, a cut sequence).
    in->ended = in->finished = 1;
    *length = Utf16(in)                 ? Utf16Finish(&in->decoder, in->decoded)
              : in->kind == TEXT_PLAIN ? PlainFinish(&in->plain, in->decoded)
                                        : 0;
    *text = in->decoded;
    return 1;
  }
  *text = TextOf(in, in->block, (size_t)got, length);
  return 1;
}
