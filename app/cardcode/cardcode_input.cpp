// Inputs as UTF-8 blocks. See cardcode_input.h.
#include "app/cardcode/cardcode_input.h"

#include <errno.h>

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

// The text of the first bytes, decoded from their start.
static const char* FirstText(InputState* in, size_t* length) {
  Utf16Start(&in->decoder, in->kind == TEXT_UTF16BE);
  PlainStart(&in->plain);
  return TextOf(in, in->block + in->markLength, in->have - in->markLength, length);
}

int InputStart(InputState* in, int descriptor, int wholeFirstRecord) {
  in->descriptor = descriptor;
  in->firstPending = 1;
  in->ended = in->finished = in->error = 0;
  in->have = 0;
  for (;;) {
    long got = PlatformRead(descriptor, (char*)in->block + in->have, sizeof in->block - in->have);
    if (got < 0) return errno ? errno : EIO;
    if (got == 0) in->ended = 1;
    in->have += (size_t)got;
    int full = in->have == sizeof in->block;
    in->kind = TextKindOf(in->block, in->have, !in->ended && !full, &in->markLength);
    if (in->kind == TEXT_UNDECIDED) continue;
    if (!wholeFirstRecord || in->ended || full) return 0;
    size_t length = 0;
    int32_t separator;
    const char* text = FirstText(in, &length);
    if (FirstRecordScan(text, length, &separator)) return 0;
  }
}

int InputNext(InputState* in, const char** text, size_t* length) {
  if (in->firstPending) {
    in->firstPending = 0;
    *text = FirstText(in, length);
    return 1;
  }
  if (in->finished) return 0;
  long got = in->ended ? 0 : PlatformRead(in->descriptor, (char*)in->block, sizeof in->block);
  if (got < 0) {
    in->error = errno ? errno : EIO;
    return 0;
  }
  if (got == 0) {
    // What a decoder still holds (an odd byte, a lone surrogate, a cut
    // sequence).
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
