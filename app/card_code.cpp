// The card code. See card_code.h.
#include "app/card_code.h"

#include "core/number_text.h"
#include "core/string_buffer.h"

size_t CardCodeOfNumber(int64_t n, char* out) {
  out[0] = '1';
  out[1] = 'D';
  out[2] = ' ';
  size_t at = 3 + (size_t)HexDigitsWrite(n, 8, out + 3);
  out[at++] = ' ';
  // The remainder truncates toward zero, so negative numbers give 10..19.
  int check = 10 - (int)(n % 10);
  if (check >= 10) {
    out[at++] = '1';
    check -= 10;
  }
  out[at++] = (char)('0' + check);
  return at;
}

// Both producers reserve their whole room in one step and write the pieces
// there, rather than appending "1D ", the padding, the digits, " " and the
// check value one after another: the text and the final write position are
// the same, only the points at which the area grows differ.
char* CardCode(const char* text, int32_t position) {
  // No StringDuplicate copy of the text, unlike other producers with a text
  // parameter: the number is all that is read of it, and it is taken before
  // anything is written, so the text may lie where the code goes.
  int64_t number = ParseInteger(text);
  char* destination = StringReserve(CARD_CODE_MAX, position);
  size_t length = CardCodeOfNumber(number, destination);
  destination[length] = 0;
  StringUnreserve((int32_t)(CARD_CODE_MAX - length));
  return destination;
}

char* PaddedHex8(int64_t n, int32_t position) {
  char* destination = StringReserve(16, position);
  int written = HexDigitsWrite(n, 8, destination);
  destination[written] = 0;
  StringUnreserve(16 - written);
  return destination;
}
