// Code checking. See cardcode_verify.h.
#include "app/cardcode/cardcode_verify.h"

#include <string.h>

#include "app/card_code.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_state.h"
#include "core/number_text.h"
#include "core/string_buffer.h"

// Writes the reason, in up to four pieces, at position.
static int CodeRefuse(int32_t position, const char* a, const char* b = "", const char* c = "", const char* d = "") {
  const char* pieces[] = {a, b, c, d};
  StringBuffer()->writePosition = position;
  for (const char* piece : pieces) StringAppend(piece);
  return 0;
}

// 0-15 for the digits 0-9 and A-F, else 16 or more.
static inline unsigned HexWorth(unsigned char c) {
  if ((unsigned)(c - '0') < 10u) return c - '0';
  if ((unsigned)(c - 'A') < 6u) return c - 'A' + 10u;
  return 16;
}

// A text of the form "1D ", hexadecimal digits, a blank, decimal digits.
struct CodeParts {
  uint64_t value;  // of the hexadecimal digits
  size_t hexLength;
  size_t checkStart;
  size_t checkLength;
};

// The parts of text, or 0 with the reason written at position when the
// text has not that form.
static int CodeForm(const char* text, size_t length, int32_t position, CodeParts* parts) {
  static const char UNEXPECTED[] = "kein Code: unerwartetes Zeichen an Stelle ";
  char place[24];
  if (length > CODE_TEXT_LIMIT) return CodeRefuse(position, "kein Code: Zeile zu lang");
  if (length == 0) return CodeRefuse(position, "kein Code: leere Zeile");
  if (length < 3 || memcmp(text, "1D ", 3) != 0) {
    return CodeRefuse(position, "kein Code: beginnt nicht mit \"1D \"");
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
    return CodeRefuse(position, "kein Code: Hex-Ziffern A-F müssen großgeschrieben sein");
  }
  if (hexLength == 0) return CodeRefuse(position, "kein Code: keine Hex-Ziffern nach \"1D \"");
  if (hexLength > 16) return CodeRefuse(position, "kein Code: mehr als 16 Hex-Ziffern");
  if (at == length) return CodeRefuse(position, "kein Code: Prüfwert fehlt");
  if (text[at] != ' ') return CodeRefuse(position, UNEXPECTED, Decimal(at + 1, place));
  size_t checkStart = ++at;
  for (; at < length && text[at] >= '0' && text[at] <= '9'; at++) {
  }
  size_t checkLength = at - checkStart;
  if (checkLength == 0 && at == length) return CodeRefuse(position, "kein Code: Prüfwert fehlt");
  if (at < length) return CodeRefuse(position, UNEXPECTED, Decimal(at + 1, place));
  *parts = {value, hexLength, checkStart, checkLength};
  return 1;
}

int CodeVerify(const char* text, size_t length, int32_t position, int64_t* number) {
  CodeParts parts = {};
  if (!CodeForm(text, length, position, &parts)) return 0;
  size_t hexLength = parts.hexLength, checkStart = parts.checkStart, checkLength = parts.checkLength;
  // The code this number really has, made by the conversion every printed
  // code comes from; the text must be exactly that.
  *number = (int64_t)parts.value;
  char code[CARD_CODE_MAX];
  size_t codeLength = CardCodeOfNumber(*number, code);
  CodeParts made;
  CodeForm(code, codeLength, position, &made);
  const char* codeCheck = code + made.checkStart;
  if (hexLength != made.hexLength || memcmp(text + 3, code + 3, hexLength) != 0) {
    if (hexLength < made.hexLength) {
      char digits[4] = {(char)('0' + hexLength), 0};
      return CodeRefuse(position, "kein Code: Hex-Zahl hat ", digits, " statt 8 Stellen");
    }
    return CodeRefuse(position, "kein Code: zu viele führende Nullen in der Hex-Zahl");
  }
  if (checkLength != made.checkLength || memcmp(text + checkStart, codeCheck, checkLength) != 0) {
    char expected[24] = {}, found[CODE_TEXT_LIMIT + 1] = {};
    memcpy(expected, codeCheck, made.checkLength);
    memcpy(found, text + checkStart, checkLength);
    return CodeRefuse(position, "Prüfwert ", found, " falsch, richtig wäre ", expected);
  }
  if (codeLength != length || memcmp(code, text, length) != 0) return CodeRefuse(position, "kein gültiger Code");
  FormatDecimal(*number, position);
  StringAppend(" OK");
  return 1;
}

void VerdictResult(CardcodeRun* run, int32_t separator) {
  const FieldState* field = &run->field;
  TempStringBuffer* buffer = StringBuffer();
  int64_t saved = buffer->writePosition;
  const char* code = field->tabSeen ? run->tail : run->head;
  uint64_t codeLength = field->tabSeen ? field->tailLength : field->length;
  int64_t number = 0;
  int valid = CodeVerify(code, (size_t)codeLength, (int32_t)saved, &number);
  if (valid && field->tabSeen && number != IntegerParseResult(&field->tabParse)) {
    // A valid code, but of another number than the one in front of it.
    buffer->writePosition = saved;
    StringAppend("Code gehört zu ");
    FormatDecimal(number, (int32_t)buffer->writePosition);
    StringAppend(", nicht zu ");
    FormatDecimal(IntegerParseResult(&field->tabParse), (int32_t)buffer->writePosition);
    valid = 0;
  }
  if (!valid) run->notValid = 1;
  OutputField(separator, buffer->base + saved, (size_t)(buffer->writePosition - saved));
  buffer->writePosition = saved;
}
