// Number text: the parse rule (blanks, one sign, base prefix, wrapping),
// the block-fed parser agreeing with it for every way of cutting a text,
// the two formatters' texts and positions, the growth they trigger, and
// round trips checked against the C library's own formatting.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "support/fresh_string_buffer.h"

namespace {

struct ParseRow {
  const char* text;
  int64_t value;
};

const ParseRow parseRows[] = {
    {"", 0},
    {"12345678", 12345678},
    {"0012345678", 12345678},
    {"  \t-42", -42},
    {"\n5", 0},
    {"\r5", 0},
    {"\v5", 0},
    {"12abc", 12},
    {"1 2", 1},
    {"0x1F", 0},
    {"$ff", 255},
    {"-$FF", -255},
    {"+$1a", 26},
    {"$Ag", 10},
    {"$-FF", 0},
    {"$", 0},
    {" $ 5", 0},
    {"%1011", 11},
    {"-%101", -5},
    {"%2", 0},
    {"%$1", 0},
    {"$%1", 0},
    {"-", 0},
    {"--5", 0},
    {"+-5", 0},
    {"-+5", 0},
    {"- 5", 0},
    {"\t+7", 7},
    {"9223372036854775807", INT64_MAX},
    {"9223372036854775808", INT64_MIN},
    {"18446744073709551615", -1},
    {"18446744073709551616", 0},
    {"18446744073709551617", 1},
    {"-9223372036854775808", INT64_MIN},
    {"$FFFFFFFFFFFFFFFF", -1},
    {"$10000000000000000", 0},
    {"$123456789abcdef0123", (int64_t)0x456789ABCDEF0123ull},
    {"%1111111111111111111111111111111111111111111111111111111111111111", -1},
    {"%10000000000000000000000000000000000000000000000000000000000000001", 1},
    {"12\xB9" "3", 12},
    {"\xA0" "5", 0},
};

TEST(ParseInteger, FollowsTheRuleForEveryRow) {
  EXPECT_EQ(ParseInteger(nullptr), 0);
  for (const ParseRow& row : parseRows) EXPECT_EQ(ParseInteger(row.text), row.value) << '"' << row.text << '"';
}

int64_t FeedInPieces(const std::string& text, const std::vector<size_t>& cuts, int* ended) {
  IntegerParse parse;
  IntegerParseStart(&parse);
  size_t from = 0;
  *ended = 0;
  for (size_t cut : cuts) {
    int result = IntegerParseFeed(&parse, text.data() + from, cut - from);
    EXPECT_TRUE(!*ended || result) << "an ended parse began again";
    *ended = result;
    from = cut;
  }
  int result = IntegerParseFeed(&parse, text.data() + from, text.size() - from);
  EXPECT_TRUE(!*ended || result) << "an ended parse began again";
  *ended = result;
  return IntegerParseResult(&parse);
}

// Texts for the block-fed parser: the table's, some that end inside the
// bytes by a terminator, and random ones from the characters that matter.
std::vector<std::string> FeedTexts() {
  std::vector<std::string> texts;
  for (const ParseRow& row : parseRows) texts.push_back(row.text);
  texts.push_back(std::string("12\0" "34", 5));
  texts.push_back(std::string(" -\0" "5", 4));
  static const char alphabet[] = " \t-+$%0123456789abcdefABCDEFgx\n\x80\xff";
  std::mt19937 random(2024);
  for (int i = 0; i < 300; i++) {
    std::string text;
    size_t length = random() % 24;
    for (size_t k = 0; k < length; k++) text += alphabet[random() % (sizeof alphabet - 1)];
    texts.push_back(text);
  }
  return texts;
}

TEST(IntegerParse, EqualsParseIntegerForEveryCutOfTheText) {
  for (const std::string& text : FeedTexts()) {
    SCOPED_TRACE(testing::Message() << '"' << text << '"');
    int64_t expected = ParseInteger(text.c_str());
    int ended = 0;
    for (size_t first = 0; first <= text.size(); first++) {
      EXPECT_EQ(FeedInPieces(text, {first}, &ended), expected) << "cut at " << first;
      for (size_t second = first; second <= text.size(); second++) {
        ASSERT_EQ(FeedInPieces(text, {first, second}, &ended), expected) << "cuts at " << first << ", " << second;
      }
    }
    std::vector<size_t> everyByte;
    for (size_t k = 1; k < text.size(); k++) everyByte.push_back(k);
    EXPECT_EQ(FeedInPieces(text, everyByte, &ended), expected) << "byte by byte";
    // The text's terminator always ends the number.
    IntegerParse parse;
    IntegerParseStart(&parse);
    EXPECT_NE(IntegerParseFeed(&parse, text.c_str(), text.size() + 1), 0);
    EXPECT_EQ(IntegerParseResult(&parse), expected);
  }
}

struct FeedEndRow {
  const char* bytes;
  int ended;  // whether the number has ended once all bytes are in
};

const FeedEndRow feedEndRows[] = {
    {"", 0},   {"  ", 0},   {"-", 0},    {"-$", 0},    {"123", 0},  {"$fF", 0},
    {"%10", 0}, {"12 ", 1}, {"%102", 1}, {"$fg", 1},   {"--", 1},   {"\n", 1},
};

TEST(IntegerParse, ReportsTheEndOnlyAfterAByteThatCannotContinueTheNumber) {
  for (const FeedEndRow& row : feedEndRows) {
    IntegerParse parse;
    IntegerParseStart(&parse);
    EXPECT_EQ(IntegerParseFeed(&parse, row.bytes, strlen(row.bytes)) != 0, row.ended != 0) << '"' << row.bytes << '"';
    EXPECT_EQ(IntegerParseResult(&parse), ParseInteger(row.bytes));
    if (row.ended) {
      EXPECT_NE(IntegerParseFeed(&parse, "", 0), 0) << "an ended parse stays ended";
    }
  }
}

// What a list reader needs for its warnings: digits read, bytes the
// number took, and whether it wrapped.
struct ExtentRow {
  const char* text;
  uint64_t digits;
  uint64_t used;  // only once the number has ended
  int wrapped;
  int blank;
};

const ExtentRow extentRows[] = {
    {"12 345", 2, 2, 0, 0},
    {"  -$ff;", 2, 6, 0, 0},
    {"abc", 0, 0, 0, 0},
    {" \t", 0, 0, 0, 1},
    {"-x", 0, 1, 0, 0},
    {"9223372036854775807", 19, 0, 0, 0},
    {"9223372036854775808", 19, 0, 1, 0},
    {"-9223372036854775808", 19, 0, 0, 0},
    {"-9223372036854775809", 19, 0, 1, 0},
    {"18446744073709551615", 20, 0, 1, 0},
    {"18446744073709551616", 20, 0, 1, 0},
    {"$FFFFFFFFFFFFFFFF", 16, 0, 0, 0},
    {"$000000000000000000001", 21, 0, 0, 0},
    {"$10000000000000000", 17, 0, 1, 0},
    {"%1111111111111111111111111111111111111111111111111111111111111111", 64, 0, 0, 0},
    {"%10000000000000000000000000000000000000000000000000000000000000000", 65, 0, 1, 0},
};

TEST(IntegerParse, CountsDigitsAndUsedBytesAndSeesWrapping) {
  for (const ExtentRow& row : extentRows) {
    std::string text = row.text;
    // Fed in two pieces, so the counts must carry over.
    IntegerParse parse;
    IntegerParseStart(&parse);
    size_t half = text.size() / 2;
    int ended = IntegerParseFeed(&parse, text.data(), half);
    if (!ended) ended = IntegerParseFeed(&parse, text.data() + half, text.size() - half);
    EXPECT_EQ(parse.digits, row.digits) << row.text;
    if (ended) {
      EXPECT_EQ(parse.used, row.used) << row.text;
    }
    EXPECT_EQ(IntegerParseWrapped(&parse), row.wrapped) << row.text;
    EXPECT_EQ(IntegerParseBlank(&parse) != 0, row.blank != 0) << row.text;
  }
}

struct FormatRow {
  int64_t value;
  const char* hex;
  const char* decimal;
};

const FormatRow formatRows[] = {
    {0, "0", "0"},
    {16, "10", "16"},
    {255, "FF", "255"},
    {12345678, "BC614E", "12345678"},
    {4294967296, "100000000", "4294967296"},
    {-1, "FFFFFFFFFFFFFFFF", "-1"},
    {-15, "FFFFFFFFFFFFFFF1", "-15"},
    {INT64_MAX, "7FFFFFFFFFFFFFFF", "9223372036854775807"},
    {INT64_MIN, "8000000000000000", "-9223372036854775808"},
};

using NumberFormat = FreshStringBuffer;

TEST_F(NumberFormat, WritesTheTextAtThePositionAndEndsOnItsTerminator) {
  for (int32_t position : {0, 10, 37}) {
    for (const FormatRow& row : formatRows) {
      SCOPED_TRACE(testing::Message() << row.value << " at " << position);
      StringReserve(position, (int32_t)StringBuffer()->writePosition);
      StringBuffer()->writePosition = position;
      int64_t end = FormatHex(row.value, position);
      EXPECT_EQ(TextAt(position), row.hex);
      EXPECT_EQ(end, position + (int64_t)strlen(row.hex));
      EXPECT_EQ(StringBuffer()->writePosition, end);

      StringBuffer()->writePosition = position;
      end = FormatDecimal(row.value, position);
      EXPECT_EQ(TextAt(position), row.decimal);
      EXPECT_EQ(end, position + (int64_t)strlen(row.decimal));
      EXPECT_EQ(StringBuffer()->writePosition, end);
    }
  }
}

TEST_F(NumberFormat, ConsecutiveFormattersConcatenate) {
  StringBuffer()->writePosition = 10;
  EXPECT_EQ(FormatHex(255, 10), 12);
  EXPECT_EQ(StringBuffer()->base[12], 0);
  EXPECT_EQ(TextAt(10), "FF");
  StringBuffer()->writePosition = 0;
  FormatHex(0, 0);
  FormatDecimal(5, (int32_t)StringBuffer()->writePosition);
  EXPECT_EQ(TextAt(0), "05");
  EXPECT_EQ(StringBuffer()->writePosition, 2);
}

struct FormatGrowthRow {
  bool decimal;
  int32_t belowCapacity;  // the write position, counted down from capacity
  bool grows;
};

// The growth decision sees the whole reservation (16 or 64 bytes), not the
// one digit written.
const FormatGrowthRow formatGrowthRows[] = {
    {true, 68, true}, {true, 69, false}, {false, 20, true}, {false, 21, false},
};

TEST_F(NumberFormat, GrowsForTheFullReservationEvenForOneDigit) {
  for (const FormatGrowthRow& row : formatGrowthRows) {
    SCOPED_TRACE(testing::Message() << (row.decimal ? "decimal" : "hex") << " at capacity - " << row.belowCapacity);
    TearDown();
    SetUp();
    StringReserve(12, 0);
    int64_t capacity = StringBuffer()->capacity;
    int32_t position = (int32_t)(capacity - row.belowCapacity);
    StringBuffer()->writePosition = position;
    if (row.decimal) FormatDecimal(7, position);
    else FormatHex(7, position);
    EXPECT_EQ(TextAt(position), "7");
    int64_t reservation = row.decimal ? 64 : 16;
    EXPECT_EQ(StringBuffer()->capacity, row.grows ? position + reservation + 16384 : capacity);
  }
  TearDown();
  SetUp();
  FormatHex(0, 0);
  EXPECT_EQ(StringBuffer()->capacity, 16 + 16384) << "the start area cannot hold 16 bytes and 5 spare";
}

struct NameRow {
  const char* prefix;
  int64_t value;
  size_t size;
  const char* name;
};

const NameRow nameRows[] = {
    {"WindowClass_", 0, 48, "WindowClass_0"},
    {"WindowClass_", -3, 48, "WindowClass_-3"},
    {"Zel_GadgetStack_", 5368709120, 48, "Zel_GadgetStack_5368709120"},
    {"Zel_GadgetStack_", INT64_MIN, 48, "Zel_GadgetStack_-9223372036854775808"},
    {"WindowClass_", 12345, 15, "WindowClass_12"},
    {"WindowClass_", 12345, 6, "Windo"},
    {"", 42, 1, ""},
};

using NameFormat = FreshStringBuffer;

TEST_F(NameFormat, PrefixAndDecimalAreCutToFitAndLeaveTheBufferAlone) {
  // A result pending in the start area, the write position on its
  // terminator: naming neither writes there nor grows the area.
  TempStringBuffer* buffer = StringBuffer();
  memset(buffer->base, '#', (size_t)buffer->capacity);
  StringAppend("Fenster");
  const std::string area(buffer->base, (size_t)buffer->capacity);
  const TempStringBuffer before = *buffer;
  for (const NameRow& row : nameRows) {
    SCOPED_TRACE(row.name);
    char name[64];
    memset(name, '#', sizeof name);
    NameWithNumber(name, row.size, row.prefix, row.value);
    EXPECT_STREQ(name, row.name);
    EXPECT_EQ(name[row.size], '#') << "wrote past the given size";
    EXPECT_EQ(buffer->capacity, before.capacity);
    ASSERT_EQ(buffer->base, before.base);
    EXPECT_EQ(buffer->writePosition, before.writePosition);
    EXPECT_EQ(std::string(buffer->base, (size_t)buffer->capacity), area);
  }
}

std::vector<int64_t> RoundTripValues() {
  std::vector<int64_t> values = {0, 1, -1, 9, 10, -10, 15, 16, INT64_MAX, INT64_MIN, INT64_MIN + 1, INT64_MAX - 1,
                                 0xFFFFFFFF, 0x100000000, -0x100000000};
  std::mt19937_64 random(77);
  for (int i = 0; i < 5000; i++) {
    // Every width from 1 to 64 bits, so small numbers are as common as large.
    uint64_t bits = random() >> (random() % 64);
    values.push_back((int64_t)bits);
    values.push_back(-(int64_t)(bits >> 1));
  }
  return values;
}

using NumberRoundTrip = KeptWritePosition;

TEST_F(NumberRoundTrip, FormattedTextsMatchTheCLibraryAndParseBack) {
  for (int64_t value : RoundTripValues()) {
    char expected[32];
    int32_t position = (int32_t)StringBuffer()->writePosition;
    FormatHex(value, position);
    std::string hex = StringBuffer()->base + position;
    snprintf(expected, sizeof expected, "%llX", (unsigned long long)value);
    ASSERT_EQ(hex, expected) << value;
    ASSERT_EQ(ParseInteger(("$" + hex).c_str()), value) << hex;
    ASSERT_EQ(ParseInteger(("$" + std::string(16 - hex.size(), '0') + hex).c_str()), value) << hex;

    StringBuffer()->writePosition = position;
    FormatDecimal(value, position);
    std::string decimal = StringBuffer()->base + position;
    snprintf(expected, sizeof expected, "%lld", (long long)value);
    ASSERT_EQ(decimal, expected);
    ASSERT_EQ(ParseInteger(decimal.c_str()), value) << decimal;
    ASSERT_EQ(ParseInteger((" \t+" + decimal).c_str()), decimal[0] == '-' ? 0 : value) << decimal;
    StringBuffer()->writePosition = position;
  }
}

}  // namespace
