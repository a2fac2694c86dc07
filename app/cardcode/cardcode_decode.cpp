// Input encodings. See cardcode_decode.h.
#include "app/cardcode/cardcode_decode.h"

#include <string.h>

int TextKindOf(const unsigned char* bytes, size_t length, int more, size_t* markLength) {
  static const unsigned char utf8Mark[] = {0xEF, 0xBB, 0xBF};
  static const unsigned char littleMark[] = {0xFF, 0xFE};
  static const unsigned char bigMark[] = {0xFE, 0xFF};
  struct Mark {
    const unsigned char* bytes;
    size_t length;
    int kind;
  };
  const Mark marks[] = {{utf8Mark, 3, TEXT_UTF8_MARK}, {littleMark, 2, TEXT_UTF16LE}, {bigMark, 2, TEXT_UTF16BE}};
  *markLength = 0;
  for (const Mark& mark : marks) {
    size_t compared = length < mark.length ? length : mark.length;
    if (memcmp(bytes, mark.bytes, compared) != 0) continue;
    if (compared == mark.length) {
      *markLength = mark.length;
      return mark.kind;
    }
    if (more) return TEXT_UNDECIDED;
  }
  return TEXT_PLAIN;
}

void Utf16Start(Utf16Decoder* decoder, int bigEndian) {
  memset(decoder, 0, sizeof *decoder);
  decoder->bigEndian = bigEndian;
}

static size_t Utf8Of(uint32_t code, char* out) {
  unsigned char* at = reinterpret_cast<unsigned char*>(out);
  size_t length = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
  static const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
  for (size_t i = length - 1; i > 0; i--, code >>= 6) at[i] = (unsigned char)(0x80 | (code & 0x3F));
  at[0] = (unsigned char)(lead[length] | code);
  return length;
}

enum { REPLACEMENT = 0xFFFD };

// One UTF-16 unit; returns the bytes written.
static inline size_t UnitDecode(Utf16Decoder* decoder, uint32_t unit, char* out) {
  size_t written = 0;
  if (decoder->highSurrogate) {
    if (unit >= 0xDC00 && unit < 0xE000) {
      uint32_t code = 0x10000 + ((decoder->highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
      decoder->highSurrogate = 0;
      return Utf8Of(code, out);
    }
    decoder->highSurrogate = 0;
    written = Utf8Of(REPLACEMENT, out);
  }
  if (unit >= 0xD800 && unit < 0xDC00) {
    decoder->highSurrogate = unit;
    return written;
  }
  if (unit >= 0xDC00 && unit < 0xE000) unit = REPLACEMENT;
  return written + Utf8Of(unit, out + written);
}

size_t Utf16Decode(Utf16Decoder* decoder, const unsigned char* bytes, size_t length, char* out) {
  char* at = out;
  const unsigned char* end = bytes + length;
  int high = decoder->bigEndian ? 0 : 1;  // which byte of a pair is the high one
  if (decoder->haveByte && bytes != end) {
    unsigned char pair[2] = {(unsigned char)decoder->firstByte, *bytes++};
    decoder->haveByte = 0;
    at += UnitDecode(decoder, (uint32_t)pair[high] << 8 | pair[1 - high], at);
  }
  for (; end - bytes >= 2; bytes += 2) {
    uint32_t unit = (uint32_t)bytes[high] << 8 | bytes[1 - high];
    // Digits, separators and line ends are ASCII: the common unit needs
    // neither a surrogate check nor more than one byte.
    if (unit < 0x80 && !decoder->highSurrogate) {
      *at++ = (char)unit;
    } else {
      at += UnitDecode(decoder, unit, at);
    }
  }
  if (bytes != end) {
    decoder->haveByte = 1;
    decoder->firstByte = *bytes;
  }
  return (size_t)(at - out);
}

size_t Utf16Finish(Utf16Decoder* decoder, char* out) {
  size_t written = 0;
  if (decoder->highSurrogate) written += Utf8Of(REPLACEMENT, out);
  if (decoder->haveByte) written += Utf8Of(REPLACEMENT, out + written);
  decoder->highSurrogate = 0;
  decoder->haveByte = 0;
  return written;
}
