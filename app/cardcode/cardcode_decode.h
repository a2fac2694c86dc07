// What an input starts with, and UTF-16 turned into UTF-8 as it streams.
//
// Windows editors and shells write UTF-8 with a byte order mark, or UTF-16
// (little- or big-endian) with one; cardcode reads every input as UTF-8
// text, so the mark is dropped and UTF-16 is converted block by block.
// Without a mark the bytes are taken as they are.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { TEXT_PLAIN = 0, TEXT_UTF8_MARK = 1, TEXT_UTF16LE = 2, TEXT_UTF16BE = 3, TEXT_UNDECIDED = -1 };

// The encoding the first bytes of an input announce, and in *markLength the
// bytes of its mark; TEXT_UNDECIDED while bytes could still be the start of
// a mark and the input may have more (more is non-zero).
int TextKindOf(const unsigned char* bytes, size_t length, int more, size_t* markLength);

struct Utf16Decoder {
  int32_t bigEndian;
  int32_t haveByte;    // the first byte of a unit arrived at the end of a block
  uint32_t firstByte;
  uint32_t highSurrogate;  // a leading surrogate waiting for its partner, else 0
};

// At most this many UTF-8 bytes come out of length UTF-16 bytes (with the
// pending state of the block before).
#define UTF16_DECODED_MAX(length) ((length) / 2 * 3 + 8)

void Utf16Start(Utf16Decoder* decoder, int bigEndian);
// Converts length bytes to UTF-8 at out; returns the bytes written. A
// surrogate without its partner becomes U+FFFD.
size_t Utf16Decode(Utf16Decoder* decoder, const unsigned char* bytes, size_t length, char* out);
// The end of the input: what is still pending (an odd byte, a lone leading
// surrogate) becomes U+FFFD. Returns the bytes written (at most 6).
size_t Utf16Finish(Utf16Decoder* decoder, char* out);
