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

// Bytes before the first one of 0x80 or more.
static size_t AsciiLength(const unsigned char* bytes, size_t length) {
  size_t i = 0;
  for (uint64_t word; i + 8 <= length; i += 8) {
    memcpy(&word, bytes + i, 8);
    if (word & 0x8080808080808080ull) break;
  }
  while (i < length && bytes[i] < 0x80) i++;
  return i;
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
  const unsigned char* low = bytes + 1 - high;
  for (; end - bytes >= 2; bytes += 2, low += 2) {
    // Digits, separators and line ends are ASCII: four such units at a
    // time need neither a surrogate check nor more than one byte each.
    while (end - bytes >= 8 && !decoder->highSurrogate &&
           !((bytes[high] | bytes[high + 2] | bytes[high + 4] | bytes[high + 6]) |
             ((low[0] | low[2] | low[4] | low[6]) & 0x80))) {
      at[0] = (char)low[0], at[1] = (char)low[2], at[2] = (char)low[4], at[3] = (char)low[6];
      at += 4, bytes += 8, low += 8;
    }
    if (end - bytes < 2) break;
    uint32_t unit = (uint32_t)bytes[high] << 8 | *low;
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

// Windows-1252 0x80-0x9F; the bytes unassigned there stand for themselves.
static const uint16_t WINDOWS_1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

static size_t Windows1252Decode(const unsigned char* bytes, size_t length, char* out) {
  char* at = out;
  for (size_t i = 0; i < length; i++) {
    size_t ascii = AsciiLength(bytes + i, length - i);
    memcpy(at, bytes + i, ascii);
    at += ascii;
    i += ascii;
    if (i == length) break;
    unsigned c = bytes[i];
    at += Utf8Of(c < 0xA0 ? WINDOWS_1252_HIGH[c - 0x80] : c, at);
  }
  return (size_t)(at - out);
}

// At a byte of 0x80 or more: 1 when a valid UTF-8 sequence starts there
// (no overlong form, no surrogate, nothing above U+10FFFF), 0 when none
// can, -1 when the bytes end before it is certain.
static int Utf8SequenceAt(const unsigned char* bytes, size_t length) {
  unsigned c = bytes[0], low = 0x80, high = 0xBF;
  size_t following = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
  if (following == 0) return 0;
  if (c == 0xE0) low = 0xA0;
  if (c == 0xED) high = 0x9F;
  if (c == 0xF0) low = 0x90;
  if (c == 0xF4) high = 0x8F;
  for (size_t i = 1; i <= following; i++, low = 0x80, high = 0xBF) {
    if (i >= length) return -1;
    if (bytes[i] < low || bytes[i] > high) return 0;
  }
  return 1;
}

void PlainStart(PlainDecoder* decoder) { memset(decoder, 0, sizeof *decoder); }

// The bytes held back and the next block decide.
static const char* HeldDecide(PlainDecoder* decoder, const unsigned char* bytes, size_t length, char* out,
                              size_t* textLength) {
  unsigned char probe[8];
  size_t held = decoder->heldLength, extra = length < 4 - held ? length : 4 - held;
  memcpy(probe, decoder->held, held);
  memcpy(probe + held, bytes, extra);
  int valid = Utf8SequenceAt(probe, held + extra);
  *textLength = 0;
  if (valid < 0) {
    // Still cut: the block was shorter than the rest of the sequence.
    memcpy(decoder->held + held, bytes, length);
    decoder->heldLength += (uint32_t)length;
    return out;
  }
  decoder->heldLength = 0;
  if (valid > 0) {
    decoder->kind = PLAIN_UTF8;
    memcpy(out, probe, held);
    memcpy(out + held, bytes, length);
    *textLength = held + length;
    return out;
  }
  decoder->kind = PLAIN_WINDOWS_1252;
  size_t made = Windows1252Decode(probe, held, out);
  *textLength = made + Windows1252Decode(bytes, length, out + made);
  return out;
}

const char* PlainDecode(PlainDecoder* decoder, const unsigned char* bytes, size_t length, char* out,
                        size_t* textLength) {
  *textLength = length;
  if (decoder->kind == PLAIN_UTF8) return reinterpret_cast<const char*>(bytes);
  if (decoder->kind == PLAIN_WINDOWS_1252) {
    *textLength = Windows1252Decode(bytes, length, out);
    return out;
  }
  if (decoder->heldLength) return HeldDecide(decoder, bytes, length, out, textLength);
  size_t ascii = AsciiLength(bytes, length);
  if (ascii == length) return reinterpret_cast<const char*>(bytes);
  int valid = Utf8SequenceAt(bytes + ascii, length - ascii);
  if (valid > 0) {
    decoder->kind = PLAIN_UTF8;
    return reinterpret_cast<const char*>(bytes);
  }
  if (valid < 0) {
    decoder->heldLength = (uint32_t)(length - ascii);
    memcpy(decoder->held, bytes + ascii, length - ascii);
    *textLength = ascii;
    return reinterpret_cast<const char*>(bytes);
  }
  decoder->kind = PLAIN_WINDOWS_1252;
  memcpy(out, bytes, ascii);
  *textLength = ascii + Windows1252Decode(bytes + ascii, length - ascii, out + ascii);
  return out;
}

size_t PlainFinish(PlainDecoder* decoder, char* out) {
  if (!decoder->heldLength) return 0;
  decoder->kind = PLAIN_WINDOWS_1252;
  size_t made = Windows1252Decode(decoder->held, decoder->heldLength, out);
  decoder->heldLength = 0;
  return made;
}

static char Windows1252Byte(uint32_t code) {
  if (code >= 0xA0 && code <= 0xFF) return (char)code;
  for (unsigned k = 0; k < 32; k++) {
    if (WINDOWS_1252_HIGH[k] == code) return (char)(0x80 + k);
  }
  return '?';
}

size_t Windows1252Encode(const char* text, size_t length, char* out) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t made = 0;
  for (size_t i = 0; i < length;) {
    size_t ascii = AsciiLength(bytes + i, length - i);
    memcpy(out + made, bytes + i, ascii);
    made += ascii;
    i += ascii;
    if (i == length) break;
    unsigned c = bytes[i];
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    if (n == 0 || i + n > length) {
      out[made++] = '?';
      i++;
      continue;
    }
    uint32_t code = c & (0x7Fu >> n);
    for (size_t k = 1; k < n; k++) code = code << 6 | (bytes[i + k] & 0x3Fu);
    out[made++] = Windows1252Byte(code);
    i += n;
  }
  return made;
}
