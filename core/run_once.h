// Once-only initialisation: runs a routine exactly once per once-word, even
// with concurrent callers; every caller returns only after it finished.
#pragma once

#include "core/kernel.h"

// onceWord is pointer-sized and zero at program start.
void RunOnce(void** onceWord, KernelOnceRoutine routine);
// The fallback RunOnce uses where the platform has no once primitive; public
// so that it can be exercised on platforms that have one. Never mix the two
// on one once-word.
void RunOnceByCompareExchange(void** onceWord, KernelOnceRoutine routine);
