// The card code of the chosen field (what the window shows under
// "berechnet:" for the same text). A field the number rule reads only in
// part, or whose number wraps, still gets the window's code, and a warning.
#pragma once

#include <stdint.h>

struct CardcodeRun;

// Writes the code of the current record's field; separator is unused (a
// code needs no quotes).
void CodeResult(CardcodeRun* run, int32_t separator);
