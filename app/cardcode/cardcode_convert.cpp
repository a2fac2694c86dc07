// Codes of the chosen field. See cardcode_convert.h.
#include "app/cardcode/cardcode_convert.h"

#include "app/card_code.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_state.h"

// Whether the chosen field was read in full; if not, says what was left.
static void NumberCheck(CardcodeRun* run) {
  const FieldState* field = &run->field;
  const IntegerParse* parse = &field->parse;
  char text[QUOTE_LIMIT + 8];
  if (parse->digits == 0) {
    if (IntegerParseBlank(parse)) return;
    Quoted(text, run->head, field->length);
    Warn("keine Zahl: ", text);
    return;
  }
  int wrapped = IntegerParseWrapped(parse);
  if (field->unreadText) {
    // What was read, without the blanks before it, and the rest.
    size_t used = parse->used < CODE_TEXT_LIMIT ? (size_t)parse->used : (size_t)CODE_TEXT_LIMIT;
    size_t start = 0;
    while (start < used && (run->head[start] == ' ' || run->head[start] == '\t')) start++;
    char read[QUOTE_LIMIT + 8];
    Quoted(read, run->head + start, start < used ? used - start : 0);
    Quoted(text, run->unread, field->length - parse->used);
    Warn("nur ", read, " gelesen, Rest ignoriert: ", text, wrapped ? "; Zahl zu groß (mehr als 64 Bit)" : "");
  } else if (wrapped) {
    Quoted(text, run->head, field->length);
    Warn("Zahl zu groß (mehr als 64 Bit), Code ist falsch: ", text);
  }
}

void CodeResult(CardcodeRun* run, int32_t) {
  char* code = OutputReserve(CARD_CODE_MAX);
  OutputCommit(CardCodeOfNumber(IntegerParseResult(&run->field.parse), code));
  NumberCheck(run);
}
