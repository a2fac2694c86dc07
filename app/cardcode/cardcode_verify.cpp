// Code checking. See cardcode_verify.h.
#include "app/cardcode/cardcode_verify.h"

#include <string.h>

#include "app/card_code.h"
#include "core/number_text.h"
#include "core/string_buffer.h"

static const char CODE_PREFIX[] = "1D ";

// Writes the reason at position; pieces ends with a null pointer.
static int CodeRefuse(int32_t position, const char* const* pieces) {
  StringBuffer()->writePosition = position;
  for (; *pieces; pieces++) StringAppend(*pieces);
  return 0;
}

static int CodeRefuseAt(int32_t position, const char* reason, size_t index) {
  StringBuffer()->writePosition = position;
  StringAppend(reason);
  FormatDecimal((int64_t)index + 1, (int32_t)StringBuffer()->writePosition);
  return 0;
}

// 0-15 for the digits 0-9 and A-F, else 16 or more.
static inline unsigned HexWorth(unsigned char c) {
  if ((unsigned)(c - '0') < 10u) return c - '0';
  if ((unsigned)(c - 'A') < 6u) return c - 'A' + 10u;
  return 16;
}

int CodeVerify(const char* text, size_t length, int32_t position, int64_t* number) {
  TempStringBuffer* buffer = StringBuffer();
  buffer->writePosition = position;
  if (length > CODE_TEXT_LIMIT) {
    const char* reason[] = {"kein Code: Zeile zu lang", nullptr};
    return CodeRefuse(position, reason);
  }
  if (length == 0) {
    const char* reason[] = {"kein Code: leere Zeile", nullptr};
    return CodeRefuse(position, reason);
  }
  if (length < 3 || memcmp(text, CODE_PREFIX, 3) != 0) {
    const char* reason[] = {"kein Code: beginnt nicht mit \"1D \"", nullptr};
    return CodeRefuse(position, reason);
  }
  size_t at = 3;
  uint64_t value = 0;
  for (; at < length; at++) {
    unsigned worth = HexWorth((unsigned char)text[at]);
    if (worth > 15) break;
    value = value * 16 + worth;
  }
  size_t hexLength = at - 3;
  if (at < length && text[at] >= 'a' && text[at] <= 'f') {
    const char* reason[] = {"kein Code: Hex-Ziffern A-F müssen groß geschrieben sein", nullptr};
    return CodeRefuse(position, reason);
  }
  if (hexLength == 0) {
    const char* reason[] = {"kein Code: keine Hex-Ziffern nach \"1D \"", nullptr};
    return CodeRefuse(position, reason);
  }
  if (hexLength > 16) {
    const char* reason[] = {"kein Code: mehr als 16 Hex-Ziffern", nullptr};
    return CodeRefuse(position, reason);
  }
  if (at == length) {
    const char* reason[] = {"kein Code: Prüfwert fehlt", nullptr};
    return CodeRefuse(position, reason);
  }
  if (text[at] != ' ') return CodeRefuseAt(position, "kein Code: unerwartetes Zeichen an Stelle ", at);
  size_t checkStart = ++at;
  for (; at < length && text[at] >= '0' && text[at] <= '9'; at++) {
  }
  size_t checkLength = at - checkStart;
  if (checkLength == 0 && at == length) {
    const char* reason[] = {"kein Code: Prüfwert fehlt", nullptr};
    return CodeRefuse(position, reason);
  }
  if (at < length) return CodeRefuseAt(position, "kein Code: unerwartetes Zeichen an Stelle ", at);

  // The code this number really has, made by the conversion every printed
  // code comes from; the text must be exactly that.
  *number = (int64_t)value;
  char code[CARD_CODE_MAX];
  size_t codeLength = CardCodeOfNumber(*number, code);
  size_t codeHexLength = 8;
  while (code[3 + codeHexLength] != ' ') codeHexLength++;
  const char* codeCheck = code + 4 + codeHexLength;
  size_t codeCheckLength = codeLength - 4 - codeHexLength;
  if (hexLength != codeHexLength || memcmp(text + 3, code + 3, hexLength) != 0) {
    if (hexLength < codeHexLength) {
      char digits[4] = {(char)('0' + hexLength), 0};
      const char* count = hexLength == 1 ? " Stelle, erwartet 8" : " Stellen, erwartet 8";
      const char* reason[] = {"kein Code: Hex-Zahl hat ", digits, count, nullptr};
      return CodeRefuse(position, reason);
    }
    const char* reason[] = {"kein Code: Hex-Zahl mit überzähligen führenden Nullen", nullptr};
    return CodeRefuse(position, reason);
  }
  if (checkLength != codeCheckLength || memcmp(text + checkStart, codeCheck, checkLength) != 0) {
    char expected[24];
    char found[CODE_TEXT_LIMIT + 1];
    memcpy(expected, codeCheck, codeCheckLength);
    expected[codeCheckLength] = 0;
    memcpy(found, text + checkStart, checkLength);
    found[checkLength] = 0;
    const char* reason[] = {"Prüfwert ", found, " passt nicht, erwartet ", expected, nullptr};
    return CodeRefuse(position, reason);
  }
  if (codeLength != length || memcmp(code, text, length) != 0) {
    const char* reason[] = {"kein Code dieses Formats", nullptr};
    return CodeRefuse(position, reason);
  }
  FormatDecimal(*number, position);
  StringAppend(" OK");
  return 1;
}
