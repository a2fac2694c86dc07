// The temporary string buffer: its start state and growth rule, the
// positions every producer leaves behind, texts that are followed when the
// area moves, the 4-byte copy, parameter copies, and the stop when the
// string heap runs out of memory.
#include <gtest/gtest.h>

#include <string.h>

#include <random>
#include <string>

#include "app/card_code.h"
#include "core/kernel.h"
#include "core/number_text.h"
#include "support/fresh_string_buffer.h"

namespace {

TempStringBuffer* Buffer() { return StringBuffer(); }

using StringBufferArea = FreshStringBuffer;

TEST_F(StringBufferArea, StartsWithSixteenBytesAndNothingInUse) {
  EXPECT_EQ(Buffer()->capacity, 16);
  EXPECT_EQ(Buffer()->writePosition, 0);
  EXPECT_EQ(AreaAllocationSize(), 16u);
}

struct GrowthRow {
  int32_t firstLength;      // reserved at 0 first, to reach the starting capacity
  int32_t writePosition;    // where the reservation under test is made
  int32_t length;
  int64_t capacity;         // expected afterwards
  size_t allocation;        // expected allocation size afterwards
};

const GrowthRow growthRows[] = {
    {0, 0, 11, 16, 16},                    // 11 < 16 - 4: the start area suffices
    {0, 0, 12, 16396, 16401},              // need + 16384, allocation + 5
    {0, 5, 7, 16396, 16401},               // the need counts from the write position
    {0, 4, 7, 16, 16},
    {12, 0, 16391, 16396, 16401},          // one below the grown area's threshold
    {12, 0, 16392, 32776, 32781},
    {12, 16000, 392, 32776, 32781},
    {12, 16000, 391, 16396, 16401},
};

TEST_F(StringBufferArea, GrowsByTheNeedPlus16384OnlyWhenTheReservationReachesCapacityMinus4) {
  for (const GrowthRow& row : growthRows) {
    SCOPED_TRACE(testing::Message() << "first " << row.firstLength << ", reserve " << row.length << " at "
                                    << row.writePosition);
    TearDown();
    SetUp();
    if (row.firstLength) StringReserve(row.firstLength, 0);
    Buffer()->writePosition = row.writePosition;
    char* result = StringReserve(row.length, row.writePosition);
    EXPECT_EQ(result, Buffer()->base + row.writePosition);
    EXPECT_EQ(Buffer()->writePosition, row.writePosition + row.length);
    EXPECT_EQ(Buffer()->capacity, row.capacity);
    EXPECT_EQ(AreaAllocationSize(), row.allocation);
  }
}

TEST_F(StringBufferArea, GrowthKeepsTheTextAndEveryReservationHasFiveSpareBytes) {
  std::mt19937 random(12345);
  std::string expected;
  for (int i = 0; i < 400; i++) {
    int32_t length = (int32_t)(random() % 600);
    int32_t position = (int32_t)Buffer()->writePosition;
    char* at = StringReserve(length, position);
    ASSERT_GE(AreaAllocationSize(), (size_t)position + length + 5) << "reservation " << i;
    for (int32_t k = 0; k < length; k++) at[k] = (char)('a' + (i + k) % 26);
    at[length] = 0;
    for (int32_t k = 0; k < length; k++) expected += (char)('a' + (i + k) % 26);
  }
  EXPECT_EQ(TextAt(0), expected);
}

TEST_F(StringBufferArea, AppendConcatenatesAtTheWritePosition) {
  char* end = StringAppend("abc");
  EXPECT_EQ(TextAt(0), "abc");
  EXPECT_EQ(Buffer()->base[3], 0);
  EXPECT_EQ(Buffer()->writePosition, 3);
  EXPECT_EQ(end, Buffer()->base + 3);
  end = StringAppend("de");
  EXPECT_EQ(TextAt(0), "abcde");
  EXPECT_EQ(Buffer()->writePosition, 5);
  EXPECT_EQ(end, Buffer()->base + 5);
}

TEST_F(StringBufferArea, AppendOfNullTerminatesWithoutMoving) {
  StringReserve(8, 0);
  memset(Buffer()->base, 'x', 8);
  Buffer()->writePosition = 7;
  char* end = StringAppend(nullptr);
  EXPECT_EQ(end, Buffer()->base + 7);
  EXPECT_EQ(Buffer()->base[7], 0);
  EXPECT_EQ(Buffer()->writePosition, 7);
}

TEST_F(StringBufferArea, OffsetsCountFromOneAndIncludeTheTerminatorAtTheWritePosition) {
  StringAppend("hello");
  const char* base = Buffer()->base;
  EXPECT_EQ(StringOffsetOf(base), 1);
  EXPECT_EQ(StringOffsetOf(base + 2), 3);
  EXPECT_EQ(StringOffsetOf(base + 5), 6);  // writePosition + 1
  EXPECT_EQ(StringOffsetOf(base + 6), 0);
  EXPECT_EQ(StringOffsetOf(base - 1), 0);
  EXPECT_EQ(StringOffsetOf(nullptr), 0);
  static const char outside[] = "hello";
  EXPECT_EQ(StringOffsetOf(outside), 0);
  for (int offset = 1; offset <= 6; offset++) EXPECT_EQ(StringOffsetOf(StringAtOffset(offset)), offset);
}

struct LeftCharsRow {
  const char* text;
  int32_t count;
  const char* expected;
};

const LeftCharsRow leftCharsRows[] = {
    {"0000000", 3, "000"},     {"0000000", 0, ""},    {"0000000", -2, ""},
    {"0000000", 9, "0000000"}, {"0000000", 7, "0000000"}, {nullptr, 4, ""},
    {"", 3, ""},               {"abcdef", 1, "a"},
};

TEST_F(StringBufferArea, LeftCharsTakesTheClampedPrefixAndEndsOnItsTerminator) {
  for (int32_t position : {0, 1, 13}) {
    for (const LeftCharsRow& row : leftCharsRows) {
      SCOPED_TRACE(testing::Message() << (row.text ? row.text : "(null)") << ", " << row.count << " at " << position);
      StringReserve(position + 8, 0);
      memset(Buffer()->base, 'x', position + 8);
      Buffer()->writePosition = position;
      LeftChars(row.text, row.count, position);
      EXPECT_EQ(TextAt(position), row.expected);
      EXPECT_EQ(Buffer()->writePosition, position + (int64_t)strlen(row.expected));
      if (position) {
        EXPECT_EQ(Buffer()->base[position - 1], 'x') << "wrote before its position";
      }
    }
  }
}

// Texts that lie in the area while the reservation moves it. The start area
// is 16 bytes, so any reservation reaching 12 moves it; under the
// sanitizers a stale source pointer would be a use after free.
TEST_F(StringBufferArea, LeftCharsFollowsItsTextWhenTheAreaMoves) {
  StringAppend("abcdefghij");
  const char* before = Buffer()->base;
  LeftChars(Buffer()->base + 2, 5, 10);
  EXPECT_GT(Buffer()->capacity, 16);
  EXPECT_EQ(TextAt(0), "abcdefghijcdefg");
  EXPECT_EQ(Buffer()->writePosition, 15);
  if (Buffer()->base == before) GTEST_LOG_(INFO) << "the area grew in place; the move was not exercised";
}

TEST_F(StringBufferArea, LeftCharsFollowsAReleasedTextBehindTheWritePosition) {
  // A result released by restoring the write position still lies in the
  // area, beyond writePosition, and may overlap the destination.
  memcpy(Buffer()->base + 4, "0123456789", 11);  // within the 16 start bytes
  Buffer()->writePosition = 2;
  LeftChars(Buffer()->base + 4, 10, 2);
  EXPECT_EQ(Buffer()->capacity, 16396);
  EXPECT_EQ(TextAt(2), "0123456789");
  EXPECT_EQ(Buffer()->writePosition, 12);
}

TEST_F(StringBufferArea, AppendFollowsATextOfTheAreaWhenTheAreaMoves) {
  StringAppend("abcdefghij");
  StringAppend(Buffer()->base + 4);
  EXPECT_EQ(TextAt(0), "abcdefghijefghij");
  EXPECT_EQ(Buffer()->writePosition, 16);
}

TEST_F(StringBufferArea, CopyWritesWholeUnitsButReadsOnlyTheSource) {
  static const char letters[] = "ABCDEFGHIJ";
  for (int32_t length = 0; length <= 10; length++) {
    SCOPED_TRACE(testing::Message() << "length " << length);
    // The source is an exact allocation with no byte after its terminator,
    // so the sanitizers catch any read beyond it.
    char* source = static_cast<char*>(KernelHeapAlloc(Buffer()->stringHeap, (size_t)length + 1, 0));
    memcpy(source, letters, (size_t)length);
    source[length] = 0;
    char destination[20];
    memset(destination, '#', sizeof destination);
    char* end = StringCopy(destination, source, length);
    EXPECT_EQ(end, destination + length);
    EXPECT_EQ(std::string(destination), std::string(letters, (size_t)length));
    int32_t written = (length + 3) / 4 * 4;
    if (written < length + 1) written = length + 1;
    EXPECT_EQ(destination[written], '#') << "wrote beyond the last unit and the terminator";
    EXPECT_LE(written, length + 4);
    StringDispose(source);
  }
}

TEST_F(StringBufferArea, DuplicateAllocatesTheLengthPlusFiveAndKeepsTheSlotForNull) {
  char* copy = nullptr;
  StringDuplicate(&copy, "");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(KernelHeapSize(Buffer()->stringHeap, copy), 5u);
  EXPECT_EQ(copy[0], 0);
  StringDispose(copy);

  copy = nullptr;
  StringDuplicate(&copy, "hello");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(KernelHeapSize(Buffer()->stringHeap, copy), 10u);
  EXPECT_STREQ(copy, "hello");
  StringDispose(copy);

  char marker = 0;
  char* slot = &marker;
  StringDuplicate(&slot, nullptr);
  EXPECT_EQ(slot, &marker);
  StringDispose(nullptr);
  EXPECT_TRUE(KernelHeapValidate(Buffer()->stringHeap));
}

TEST_F(StringBufferArea, LengthAndUnreserve) {
  EXPECT_EQ(StringLength(nullptr), 0);
  EXPECT_EQ(StringLength(""), 0);
  EXPECT_EQ(StringLength("abc"), 3);
  StringAppend("abcdefgh");
  EXPECT_EQ(StringUnreserve(0), 8);
  EXPECT_EQ(StringUnreserve(3), 5);
  EXPECT_EQ(Buffer()->writePosition, 5);
}

TEST_F(StringBufferArea, RestoringTheSavedWritePositionReleasesAStatementsResults) {
  StringAppend("keep");
  int64_t saved = Buffer()->writePosition;
  for (int round = 0; round < 3; round++) {
    FormatHex(0x1234, (int32_t)Buffer()->writePosition);
    FormatDecimal(-99, (int32_t)Buffer()->writePosition);
    LeftChars("0000000", 4, (int32_t)Buffer()->writePosition);
    CardCode("12345678", (int32_t)Buffer()->writePosition);
    StringAppend("tail");
    int64_t capacity = Buffer()->capacity;
    size_t allocation = AreaAllocationSize();
    Buffer()->writePosition = saved;
    EXPECT_EQ(Buffer()->writePosition, saved);
    EXPECT_EQ(Buffer()->capacity, capacity);
    EXPECT_EQ(AreaAllocationSize(), allocation);
  }
  EXPECT_EQ(std::string(Buffer()->base, 4), "keep");
}

// Running out of memory in the string heap stops the process with exit code
// KERNEL_FATAL_EXIT_CODE and one line on standard error.
#ifdef _WIN32
// Windows GoogleTest matches with its simple expressions, where '.' stops at
// a line end; it reads the captured stream as text, so CR LF arrives as LF.
const char oneFatalLine[] = "^fatal: out of memory: .*\n$";
#else
const char oneFatalLine[] = "^fatal: out of memory: [^\n]*\n$";
#endif

struct ExhaustionRow {
  const char* what;
  void (*run)(void);
};

const ExhaustionRow exhaustionRows[] = {
    {"creating the string heap", [] { KernelFailAllocationsAfter(0); StringBufferStart(); }},
    {"allocating the start area", [] { KernelFailAllocationsAfter(1); StringBufferStart(); }},
    {"growing the area", [] {
       KernelFailAllocationsAfter(0);
       StringReserve((int32_t)StringBuffer()->capacity, (int32_t)StringBuffer()->writePosition);
     }},
    {"copying a text parameter", [] {
       char* copy = nullptr;
       KernelFailAllocationsAfter(0);
       StringDuplicate(&copy, "12345678");
     }},
    {"the card code's growth", [] {
       StringBuffer()->writePosition = StringBuffer()->capacity - 10;
       KernelFailAllocationsAfter(0);
       CardCode("12345678", (int32_t)StringBuffer()->writePosition);
     }},
};

TEST(StringBufferDeathTest, RunningOutOfMemoryStopsTheProcessWithOneLine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const ExhaustionRow& row : exhaustionRows) {
    SCOPED_TRACE(row.what);
    EXPECT_EXIT(row.run(), testing::ExitedWithCode(KERNEL_FATAL_EXIT_CODE), oneFatalLine);
  }
}

}  // namespace
