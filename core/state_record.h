// Library state records: the one zero-filled record each library keeps for
// itself, on the process heap, never freed one by one.
#pragma once

#include <stdint.h>

typedef void (*StateRecordInit)(void* record);

// A new zero-filled record of size bytes, after initialiser (if any) ran on
// it; null when the process heap cannot supply it (the initialiser does not
// run then).
void* StateRecordCreate(int32_t size, StateRecordInit initialiser);
