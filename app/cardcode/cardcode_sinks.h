// The record sinks of a run: what each record adds to the output.
//
// For a line its result (the code, or with --verify the verdict); with
// --tsv the input and a tab first; with --csv the record as read, the
// separator and the result as a field, and after a header record the
// result's heading. A header that lacks the --column NAME refuses its input
// whole. The sinks are chosen once per run from a table.
#pragma once

#include "app/cardcode/cardcode_state.h"

// result writes the result of a record (CodeResult or VerdictResult).
void SinksChoose(CardcodeRun* run, void (*result)(CardcodeRun* run, int32_t separator));
// Starts reading the records of an input with this separator (RECORD_LINES
// without --csv).
void RecordsOfInput(CardcodeRun* run, int32_t separator);
// The result line of an argument, which is one field text, also with --csv.
void ResultOfArgument(CardcodeRun* run, const CardcodeInput* argument);
