// Test fixtures for the process-wide string buffer.
//
// FreshStringBuffer gives each test a string buffer in its start state (a
// new string heap, capacity 16, writePosition 0), so that growth and
// allocation sizes can be checked exactly whatever ran before; TearDown
// destroys that heap and puts the program's own buffer back untouched.
// KeptWritePosition uses the program's buffer as it is and restores the
// write position afterwards, as every statement of the utility does.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/kernel.h"
#include "core/string_buffer.h"

class FreshStringBuffer : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = *StringBuffer();
    StringBufferStart();
  }
  void TearDown() override {
    KernelHeapDestroy(StringBuffer()->stringHeap);
    *StringBuffer() = saved;
  }
  // The text that starts at position in the area.
  static std::string TextAt(int64_t position) { return std::string(StringBuffer()->base + position); }
  static size_t AreaAllocationSize() { return KernelHeapSize(StringBuffer()->stringHeap, StringBuffer()->base); }

 private:
  TempStringBuffer saved;
};

class KeptWritePosition : public ::testing::Test {
 protected:
  void SetUp() override { saved = StringBuffer()->writePosition; }
  void TearDown() override { StringBuffer()->writePosition = saved; }

 private:
  int64_t saved = 0;
};
