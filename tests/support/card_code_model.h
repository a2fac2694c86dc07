// The card code by printf, an independent model for the tests of every
// layer: %08llX pads the hex part the same way and never cuts it, and
// C++'s % truncates like the card code's remainder.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>

// The code the window shows for the number n.
inline std::string ModelCode(int64_t n) {
  char text[64];
  snprintf(text, sizeof text, "1D %08llX %lld", (unsigned long long)n, (long long)(10 - n % 10));
  return text;
}
