// Values shared by every layer of the toolkit.
#pragma once

#include <stdint.h>

// Given to a create call instead of a number: make a dynamic object and
// return its handle value, which names it from then on.
#define OBJECT_ANY (-1)

// A handler's answer "not handled: default processing must follow"
// (0xD0D0D0D1 sign-extended to 64 bits).
const int64_t NOT_HANDLED = -791621423;
// A user window callback's answer "go on with the toolkit's own handling"
// (0xE0E0E0E1 sign-extended to 64 bits).
const int64_t CALL_DEFAULT = -522133279;
