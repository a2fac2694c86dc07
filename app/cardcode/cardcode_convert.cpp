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
    Quoted(text, run->unread, field->length - parse->used);
    Warn("nicht gelesen: ", text, wrapped ? "; die Zahl passt nicht in 64 Bit (läuft über)" : "");
  } else if (wrapped) {
    Quoted(text, run->head, field->length);
    Warn("Zahl passt nicht in 64 Bit (läuft über): ", text);
  }
}

void CodeResult(CardcodeRun* run, int32_t) {
  char* code = OutputReserve(CARD_CODE_MAX);
  OutputCommit(CardCodeOfNumber(IntegerParseResult(&run->field.parse), code));
  NumberCheck(run);
}
