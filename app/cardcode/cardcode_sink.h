// What each record adds to the output: for a line its result (the code, or
// with --verify the verdict); with --tsv the input and a tab first; with
// --csv the record as read, the separator and the result as a field, and
// after a header record the result's heading. The sinks of a run are chosen
// once from a table.
#pragma once

#include <stdint.h>

#include "app/cardcode/cardcode_state.h"

void SinksChoose(CardcodeRun* run);
// Starts reading the records of an input with this separator (RECORD_LINES
// without --csv).
void RecordsOfInput(CardcodeRun* run, int32_t separator);
// The result line of an argument, which is one field text, also with --csv.
void ResultOfArgument(CardcodeRun* run, const CardcodeInput* argument);
