// rfidnummer.exe end to end: each case starts the real program as its own
// process and drives it from outside as a person would, by keys and clicks,
// reading the fields as an accessibility tool would.
#include <gtest/gtest.h>
#include <string.h>

#include "e2e_support.h"
#include "support/gui_test_support.h"

namespace {

using e2e::RfidNummerTest;

TEST_F(RfidNummerTest, WindowIsCentredWithItsFourControls) {
  RECT client, frame;
  GetClientRect(program.window, &client);
  EXPECT_EQ(client.right - client.left, 200);
  EXPECT_EQ(client.bottom - client.top, 70);
  GetWindowRect(program.window, &frame);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  LONG style = GetWindowLongA(program.window, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "fixed size, no maximize box";

  struct Expected {
    const char* className;
    const char* text;
    RECT placement;
    bool readOnly;
  } expected[] = {
      {"Static", "Nummer auf Karte:", {10, 12, 110, 32}, false},
      {"Edit", "", {100, 10, 190, 30}, false},
      {"Static", "berechnet:", {10, 42, 110, 62}, false},
      {"Edit", "", {100, 40, 190, 60}, true},
  };
  for (size_t i = 0; i < controls.size(); i++) {
    SCOPED_TRACE(testing::Message() << "control " << i);
    EXPECT_STRCASEEQ(support::ClassNameOf(controls[i]).c_str(), expected[i].className);
    EXPECT_EQ(e2e::ControlText(controls[i]), expected[i].text);
    RECT placement = e2e::ControlPlacement(controls[i]);
    EXPECT_EQ(placement.left, expected[i].placement.left);
    EXPECT_EQ(placement.top, expected[i].placement.top);
    EXPECT_EQ(placement.right, expected[i].placement.right);
    EXPECT_EQ(placement.bottom, expected[i].placement.bottom);
    EXPECT_EQ((GetWindowLongA(controls[i], GWL_STYLE) & ES_READONLY) != 0, expected[i].readOnly);
    EXPECT_EQ(GetWindowLongPtrA(controls[i], GWLP_ID), static_cast<LONG_PTR>(i)) << "gadget number";
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(controls[i], "Zel_ID")), static_cast<intptr_t>(i));
  }
}

struct ConversionCase {
  const char* typed;
  const char* code;
};

// The codes themselves are tabled in card_code_test.cpp; these rows prove
// that the field's text reaches the card code and the code the field.
const ConversionCase conversionCases[] = {
    {"12345678", "1D 00BC614E 2"},
    {"", "1D 00000000 10"},
};

TEST_F(RfidNummerTest, TypingANumberAndClickingIntoTheResultShowsItsCode) {
  int previousLength = 0;
  for (const ConversionCase& row : conversionCases) {
    SCOPED_TRACE(row.typed);
    ClickInto(numberField);
    e2e::ClearField(previousLength);
    support::TypeText(row.typed);
    ASSERT_TRUE(e2e::AwaitText(numberField, row.typed)) << "awaited the typed text in the number field";
    ClickInto(resultField);
    EXPECT_TRUE(e2e::AwaitText(resultField, row.code))
        << "awaited \"" << row.code << "\", the field shows \"" << e2e::ControlText(resultField) << "\"";
    previousLength = static_cast<int>(strlen(row.typed));
  }
  // Typing alone computes nothing: the result stays until the field is left.
  ClickInto(numberField);
  support::TypeText("9");
  ASSERT_TRUE(e2e::AwaitText(numberField, "9"));
  EXPECT_EQ(e2e::ControlText(resultField), "1D 00000000 10");

  std::string directory = e2e::ProgramArgument(2);
  if (!directory.empty()) {
    ClickInto(numberField);
    e2e::ClearField(1);
    support::TypeText("12345678");
    ClickInto(resultField);
    ASSERT_TRUE(e2e::AwaitText(resultField, "1D 00BC614E 2"));
    EXPECT_TRUE(e2e::ScreenshotSave(program.window, directory + "\\rfidnummer-e2e.png"))
        << "saving the screenshot under " << directory;
  }
}

TEST_F(RfidNummerTest, NoFieldHasTheFocusAtStartAndEnterDoesNotConvert) {
  // A card reader's first scan goes nowhere until a field is clicked, and
  // its Enter converts nothing: the guides teach both.
  HWND focused = e2e::FocusedControl(program.window);
  EXPECT_NE(focused, numberField);
  EXPECT_NE(focused, resultField);
  ClickInto(numberField);
  support::TypeText("42");
  support::PressKey(VK_RETURN);
  // Input is handled in order: the marker after Enter shows Enter is done.
  support::TypeText("7");
  ASSERT_TRUE(e2e::AwaitText(numberField, "427")) << "awaited the marker key after Enter";
  EXPECT_EQ(e2e::ControlText(resultField), "");
  EXPECT_EQ(e2e::FocusedControl(program.window), numberField);
}

TEST_F(RfidNummerTest, ResultFieldCannotBeEdited) {
  ClickInto(numberField);
  support::TypeText("42");
  ClickInto(resultField);
  ASSERT_TRUE(e2e::AwaitText(resultField, "1D 0000002A 8"));
  support::TypeText("99");
  support::PressKey(VK_BACK);
  support::PressKey(VK_DELETE);
  // Input is handled in order: once the number field shows the marker, the
  // keys sent to the result field have been handled too.
  ClickInto(numberField);
  support::TypeText("7");
  ASSERT_TRUE(e2e::AwaitText(numberField, "427")) << "awaited the marker key in the number field";
  EXPECT_EQ(e2e::ControlText(resultField), "1D 0000002A 8");
}

TEST_F(RfidNummerTest, ActivatingAnotherWindowConverts) {
  ClickInto(numberField);
  support::TypeText("1234567890");
  ASSERT_TRUE(e2e::AwaitText(numberField, "1234567890"));
  HWND other = CreateWindowExA(0, "Static", "another window", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 120, 60,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(e2e::Activate(other)) << "awaited the other window in the foreground";
  // The focus loss reaches the program as a sent message inside its wait;
  // the queued event comes out with the next message it reads, so the
  // program is activated again before the result is checked.
  ASSERT_TRUE(e2e::Activate(program.window)) << "awaited the utility back in the foreground";
  EXPECT_TRUE(e2e::AwaitText(resultField, "1D 499602D2 10"))
      << "the field shows \"" << e2e::ControlText(resultField) << "\"";
  DestroyWindow(other);
}

TEST_F(RfidNummerTest, ClosingEndsTheProcessWithCodeZero) {
  static const struct {
    const char* way;
    bool altF4;  // else WM_CLOSE
  } ways[] = {{"WM_CLOSE", false}, {"Alt+F4", true}};
  for (const auto& row : ways) {
    if (&row != ways) Start();
    ClickInto(numberField);
    support::TypeText("5");
    ASSERT_TRUE(e2e::AwaitText(numberField, "5"));
    if (row.altF4)
      support::PressKey(VK_F4, VK_MENU);
    else
      PostMessageA(program.window, WM_CLOSE, 0, 0);
    support::ChildExit exit = support::ChildAwaitExit(&program.child, 10000, std::string("the end after ") + row.way);
    ASSERT_TRUE(exit.ended);
    EXPECT_EQ(exit.code, 0) << row.way;
    EXPECT_FALSE(IsWindow(program.window)) << row.way;
    Stop();
  }
}

}  // namespace
