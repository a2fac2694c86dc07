// What an input starts with, and UTF-16 turned into UTF-8 as it streams.
//
// Windows editors and shells write UTF-8 with a byte order mark, or UTF-16
// (little- or big-endian) with one; cardcode reads every input as UTF-8
// text, so the mark is dropped and UTF-16 is converted block by block.
// Without a mark the input is ASCII until its first other byte, which
// decides: UTF-8 when a valid UTF-8 sequence starts there, else
// Windows-1252 (Excel's and Editor's "ANSI" on German Windows) from there
// on, decoded. Its 5 unassigned bytes become the control characters of the
// same number, as on Windows, so that encoding gives back every byte.
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

enum { PLAIN_ASCII = 0, PLAIN_UTF8 = 1, PLAIN_WINDOWS_1252 = 2 };

struct PlainDecoder {
  int32_t kind;          // PLAIN_ASCII until the first other byte decides
  uint32_t heldLength;   // bytes of a UTF-8 sequence cut by the end of a block
  unsigned char held[4];
};

// At most this many bytes come out of length bytes of Windows-1252 (with
// the bytes held from the block before).
#define PLAIN_DECODED_MAX(length) ((length) * 3 + 12)

void PlainStart(PlainDecoder* decoder);
// The UTF-8 text of length bytes without a mark: bytes itself, or decoded
// at out. *textLength bytes.
const char* PlainDecode(PlainDecoder* decoder, const unsigned char* bytes, size_t length, char* out,
                        size_t* textLength);
// The end of the input: a cut sequence held back is not UTF-8. Returns the
// bytes written at out (at most 9).
size_t PlainFinish(PlainDecoder* decoder, char* out);
// UTF-8 text as Windows-1252 at out (at most length bytes); a character it
// lacks becomes '?'. Returns the bytes written.
size_t Windows1252Encode(const char* text, size_t length, char* out);
