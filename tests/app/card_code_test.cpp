// The card code: the field texts users type and their codes (the one full
// table; the other layers keep a row or two for their wiring), the result
// overwriting its own input in the area (also while the area moves), the
// position it leaves behind, and agreement with a printf model over many
// numbers.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <random>
#include <string>

#include "app/card_code.h"
#include "core/number_text.h"
#include "support/card_code_model.h"
#include "support/fresh_string_buffer.h"

namespace {

struct CardCodeRow {
  const char* text;
  const char* code;
};

const CardCodeRow cardCodeRows[] = {
    {"12345678", "1D 00BC614E 2"},
    {"0012345678", "1D 00BC614E 2"},
    {"", "1D 00000000 10"},
    {"abc", "1D 00000000 10"},
    {"4294967295", "1D FFFFFFFF 5"},
    {"4294967296", "1D 100000000 4"},
    {"1234567890", "1D 499602D2 10"},
    {"-1", "1D FFFFFFFFFFFFFFFF 11"},
    {"-15", "1D FFFFFFFFFFFFFFF1 15"},
    {"$FF", "1D 000000FF 5"},
    {"%101", "1D 00000005 5"},
    {"  42abc", "1D 0000002A 8"},
    {"+7", "1D 00000007 3"},
    {"-10", "1D FFFFFFFFFFFFFFF6 10"},
    {"-9223372036854775808", "1D 8000000000000000 18"},
    {"9223372036854775807", "1D 7FFFFFFFFFFFFFFF 3"},
    {"18446744073709551616", "1D 00000000 10"},
};

using CardCodeText = KeptWritePosition;

TEST_F(CardCodeText, GivesTheCodeOfEveryFieldTextAtTheCallersPosition) {
  StringAppend("before");  // results start behind text in use
  int32_t position = (int32_t)StringBuffer()->writePosition;
  for (const CardCodeRow& row : cardCodeRows) {
    char* code = CardCode(row.text, position);
    EXPECT_EQ(code, StringBuffer()->base + position);
    EXPECT_STREQ(code, row.code) << '"' << row.text << '"';
    EXPECT_EQ(StringBuffer()->writePosition, position + (int64_t)strlen(row.code));
    EXPECT_EQ(std::string(StringBuffer()->base + position - 6, 6), "before");
    StringBuffer()->writePosition = position;
  }
  EXPECT_STREQ(CardCode(nullptr, position), "1D 00000000 10");
}

TEST_F(CardCodeText, OverwritesItsInputWhenTheFieldTextLiesAtThePosition) {
  // As the window does it: the field text is read into the area at the
  // write position, and the code is written over it.
  for (const CardCodeRow& row : cardCodeRows) {
    int32_t position = (int32_t)StringBuffer()->writePosition;
    StringAppend(row.text);
    StringBuffer()->writePosition = position;
    EXPECT_STREQ(CardCode(StringBuffer()->base + position, position), row.code) << '"' << row.text << '"';
    StringBuffer()->writePosition = position;
  }
}

using CardCodeMoving = FreshStringBuffer;

TEST_F(CardCodeMoving, ReadsItsInputFromTheCopyWhileTheAreaMoves) {
  // In the 16-byte start area, the first piece of the result already needs
  // a larger area.
  StringAppend("4294967296");
  EXPECT_EQ(StringBuffer()->capacity, 16);
  StringBuffer()->writePosition = 0;
  EXPECT_STREQ(CardCode(StringBuffer()->base, 0), "1D 100000000 4");
  EXPECT_GT(StringBuffer()->capacity, 16);
  EXPECT_EQ(StringBuffer()->writePosition, 14);
}

struct NumberRow {
  int64_t value;
  const char* code;
};

// The hex part pads to eight digits and never cuts; the check value takes
// one or two digits.
const NumberRow numberRows[] = {
    {0, "1D 00000000 10"},          {0xFF, "1D 000000FF 5"},
    {0x1234567, "1D 01234567 7"},   {0xFFFFFFFF, "1D FFFFFFFF 5"},
    {0x100000000, "1D 100000000 4"}, {-1, "1D FFFFFFFFFFFFFFFF 11"},
    {INT64_MIN, "1D 8000000000000000 18"}, {INT64_MAX, "1D 7FFFFFFFFFFFFFFF 3"},
};

TEST(CardCodeOfNumber, WritesTheCodeWithoutTerminatorAndTellsItsLength) {
  for (const NumberRow& row : numberRows) {
    char out[CARD_CODE_MAX + 1];
    memset(out, '#', sizeof out);
    size_t length = CardCodeOfNumber(row.value, out);
    EXPECT_EQ(std::string(out, length), row.code) << row.value;
    EXPECT_EQ(out[length], '#') << "nothing written after the code";
  }
}

struct PaddedRow {
  int64_t value;
  const char* text;
};

const PaddedRow paddedRows[] = {
    {0, "00000000"},          {255, "000000FF"},          {0x12345678, "12345678"},
    {0x100000000, "100000000"}, {-1, "FFFFFFFFFFFFFFFF"}, {INT64_MIN, "8000000000000000"},
};

TEST_F(CardCodeText, PadsTheHexadecimalToEightDigitsAndNeverCutsIt) {
  StringAppend("kept");
  int32_t position = (int32_t)StringBuffer()->writePosition;
  for (const PaddedRow& row : paddedRows) {
    char* text = PaddedHex8(row.value, position);
    EXPECT_EQ(text, StringBuffer()->base + position);
    EXPECT_STREQ(text, row.text) << row.value;
    EXPECT_EQ(StringBuffer()->writePosition, position + (int64_t)strlen(row.text)) << "on the terminator";
    EXPECT_EQ(std::string(StringBuffer()->base + position - 4, 4), "kept");
    StringBuffer()->writePosition = position;
  }
}

TEST_F(CardCodeText, AgreesWithAPrintfModelForManyNumbers) {
  std::mt19937_64 random(99);
  int32_t position = (int32_t)StringBuffer()->writePosition;
  for (int i = 0; i < 20000; i++) {
    int64_t n = (int64_t)(random() >> (random() % 64));
    if (i & 1) n = -n;
    char decimal[32];
    snprintf(decimal, sizeof decimal, "%lld", (long long)n);
    ASSERT_EQ(CardCode(decimal, position), ModelCode(n)) << decimal;
    StringBuffer()->writePosition = position;
  }
}

}  // namespace
