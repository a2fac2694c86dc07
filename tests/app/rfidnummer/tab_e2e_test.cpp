// rfidnummer.exe end to end, by keyboard: Tab and Shift+Tab move the focus
// between the two fields, wrapping around, and leaving the number field
// converts its text. Which control has the focus in the program is read
// from its GUI thread's state (GetGUIThreadInfo).
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "e2e_support.h"
#include "support/gui_test_support.h"

namespace {

using e2e::RfidNummerTest;

// Starts with the focus in the number field.
class TabTest : public RfidNummerTest {
 protected:
  void SetUp() override {
    RfidNummerTest::SetUp();
    if (HasFatalFailure()) return;
    ClickInto(numberField);
  }

  bool AwaitFocus(HWND field) {
    return support::PumpUntil([&] { return e2e::FocusedControl(program.window) == field; });
  }

  // Tab or Shift+Tab, and the wait until the focus arrived.
  void Press(bool shift, HWND expectedFocus, const char* situation) {
    support::PressKey(VK_TAB, shift ? VK_SHIFT : 0);
    ASSERT_TRUE(AwaitFocus(expectedFocus)) << situation << ": awaited the focus in the "
                                           << (expectedFocus == numberField ? "number" : "result") << " field";
  }

  // Replaces a field's text from outside, without any focus change.
  static void Overwrite(HWND field, const char* text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &result);
  }
};

TEST_F(TabTest, LeavingTheNumberFieldByKeyConvertsAndMovesToTheResult) {
  static const struct {
    const char* situation;
    bool shift;
    const char* typed;
    const char* code;
  } cases[] = {
      {"Tab in field 1", false, "12345678", "1D 00BC614E 2"},
      {"Shift+Tab in field 1 wraps", true, "4294967296", "1D 100000000 4"},
  };
  int previousLength = 0;
  for (const auto& row : cases) {
    ClickInto(numberField);
    e2e::ClearField(previousLength);
    support::TypeText(row.typed);
    ASSERT_TRUE(e2e::AwaitText(numberField, row.typed));
    Press(row.shift, resultField, row.situation);
    EXPECT_TRUE(e2e::AwaitText(resultField, row.code))
        << row.situation << ": the result field shows \"" << e2e::ControlText(resultField) << "\"";
    Press(row.shift, numberField, "and on again, wrapping");
    previousLength = static_cast<int>(strlen(row.typed));
  }
}

TEST_F(TabTest, TabInTheResultFieldWrapsToTheNumberFieldWithoutConverting) {
  support::TypeText("42");
  ASSERT_TRUE(e2e::AwaitText(numberField, "42"));
  Press(false, resultField, "Tab in field 1");
  ASSERT_TRUE(e2e::AwaitText(resultField, "1D 0000002A 8"));
  // A new number that only a conversion would show.
  Overwrite(numberField, "255");
  ASSERT_EQ(e2e::ControlText(numberField), "255");
  Press(false, numberField, "Tab in field 3");
  // Keys are handled in order: once the marker shows, the Tab and the
  // events it queued have been handled as well.
  support::PressKey(VK_END);
  support::TypeText("0");
  ASSERT_TRUE(e2e::AwaitText(numberField, "2550")) << "awaited the marker key in the number field";
  EXPECT_EQ(e2e::ControlText(resultField), "1D 0000002A 8") << "leaving the result field converts nothing";
  Press(false, resultField, "Tab in field 1 again");
  EXPECT_TRUE(e2e::AwaitText(resultField, "1D 000009F6 10"))
      << "the result field shows \"" << e2e::ControlText(resultField) << "\"";
}

TEST_F(TabTest, MovingBackAndForthWithoutTypingRecomputesTheSameCode) {
  support::TypeText("12345678");
  ASSERT_TRUE(e2e::AwaitText(numberField, "12345678"));
  Press(false, resultField, "Tab in field 1");
  ASSERT_TRUE(e2e::AwaitText(resultField, "1D 00BC614E 2"));
  static const struct {
    bool shiftBack;     // back to field 1 by Shift+Tab rather than Tab
    bool shiftForward;  // and on to field 3 by Shift+Tab rather than Tab
  } rounds[] = {{false, false}, {true, true}, {false, true}, {true, false}};
  for (const auto& round : rounds) {
    // Wiped from outside, so that only a fresh conversion brings it back.
    Overwrite(resultField, "");
    Press(round.shiftBack, numberField, "back to field 1");
    Press(round.shiftForward, resultField, "on to field 3");
    EXPECT_TRUE(e2e::AwaitText(resultField, "1D 00BC614E 2"))
        << "round " << round.shiftBack << round.shiftForward << ": the result field shows \""
        << e2e::ControlText(resultField) << "\"";
  }
}

}  // namespace
