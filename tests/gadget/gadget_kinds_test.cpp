// Static-text and edit gadgets: the styles their controls get, and the
// focus events edit fields queue when the keyboard focus moves.
#include "app/rfidnummer/rfidnummer.h"
#include "core/toolkit.h"
#include "gadget/edit_gadget.h"
#include "gadget/static_gadget.h"
#include "support/window_fixtures.h"

namespace {

using support::ControlOf;
using support::END_OF_SEQUENCE;
using support::GadgetWindowTest;
using support::Recorded;
using support::UtilityWindowTest;

typedef int64_t (*CreateRoutine)(int64_t, int32_t, int32_t, int32_t, int32_t, const char*, uint32_t);

struct StyleCase {
  const char* name;
  CreateRoutine create;
  uint32_t flags;
  const char* text;
  const char* className;
  uint32_t style;
  uint32_t extendedStyle;  // only WS_EX_CLIENTEDGE is compared
};

const StyleCase styleCases[] = {
    {"label without flags", StaticGadgetCreate, 0, "Nummer auf Karte:", "Static", 0x50020000, 0},
    {"label with 0x20000 gets a sunken edge", StaticGadgetCreate, 0x20000, "berechnet:", "Static", 0x50020000, 0x200},
    {"label with a null text", StaticGadgetCreate, 0, nullptr, "Static", 0x50020000, 0},
    {"field without flags", EditGadgetCreate, 0, "", "Edit", 0x50030080, 0x200},
    {"field with 0x20000 loses the sunken edge", EditGadgetCreate, 0x20000, "", "Edit", 0x50030080, 0},
    {"read-only field", EditGadgetCreate, ES_READONLY, "", "Edit", 0x50030880, 0x200},
    {"field with a null text", EditGadgetCreate, 0, nullptr, "Edit", 0x50030080, 0x200},
};

TEST_F(GadgetWindowTest, StylesReadBackFromTheControl) {
  for (const StyleCase& row : styleCases) {
    SCOPED_TRACE(row.name);
    ASSERT_NE(row.create(5, 10, 10, 90, 20, row.text, row.flags), 0);
    HWND control = ControlOf(5);
    EXPECT_STRCASEEQ(support::ClassNameOf(control).c_str(), row.className);
    EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(control, GWL_STYLE)), row.style);
    EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(control, GWL_EXSTYLE)) & WS_EX_CLIENTEDGE, row.extendedStyle);
    EXPECT_EQ(support::WindowText(control), row.text ? row.text : "");
    RECT rect;
    GetWindowRect(control, &rect);
    EXPECT_EQ(rect.right - rect.left, 90);
    EXPECT_EQ(rect.bottom - rect.top, 20);
    GadgetDiscard(5);
  }
}

TEST_F(GadgetWindowTest, KindDescriptorsCarryTheColourRoutines) {
  ASSERT_NE(StaticGadgetCreate(0, 10, 12, 100, 20, "a", 0), 0);
  ASSERT_NE(EditGadgetCreate(1, 100, 10, 90, 20, "b", 0), 0);
  struct Row {
    GadgetType* type;
    int32_t kindNumber;
  } rows[] = {{&StaticGadgetType, 3}, {&EditGadgetType, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.kindNumber);
    EXPECT_EQ(row.type->kindNumber, row.kindNumber);
    EXPECT_EQ(row.type->descriptorSize, static_cast<int32_t>(sizeof(GadgetType)));
    EXPECT_NE(row.type->onMessage, nullptr);
    EXPECT_NE(row.type->onRelease, nullptr);
    EXPECT_EQ(row.type->onTextGet, nullptr) << "text goes through the control";
    EXPECT_EQ(row.type->onTextSet, nullptr);
  }
  EXPECT_NE(StaticGadgetType.onMessage, EditGadgetType.onMessage);
  EXPECT_NE(editClassProc, nullptr);
  // The edit control's chain: GadgetWindowProc, then EditFocusProc.
  GadgetObject* field = static_cast<GadgetObject*>(RegistryLookup(GadgetRegistry(), 1));
  EXPECT_EQ(field->previousProc, EditFocusProc);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(field->handle, GWLP_WNDPROC)), GadgetWindowProc);
}

// In the utility's window, beside two dynamic fields: the read-only result
// field still takes the focus, and a dynamic field's events carry the value
// that names it.
TEST_F(UtilityWindowTest, FocusMoveQueuesLostFocusThenFocus) {
  enum { NUMBER, RESULT, FIRST_DYNAMIC, SECOND_DYNAMIC };
  const int64_t gadgets[] = {GADGET_NUMBER_FIELD, GADGET_RESULT_FIELD,
                             EditGadgetCreate(OBJECT_ANY, 10, 10, 40, 20, "", 0),
                             EditGadgetCreate(OBJECT_ANY, 60, 10, 40, 20, "", ES_READONLY)};
  ASSERT_NE(gadgets[FIRST_DYNAMIC], 0);
  ASSERT_NE(gadgets[SECOND_DYNAMIC], 0);
  static const struct {
    const char* name;
    int from;  // gadget that has the focus first
    int to;    // gadget the focus moves to
  } cases[] = {
      {"input field to result field", NUMBER, RESULT},
      {"result field to input field", RESULT, NUMBER},
      {"dynamic field to dynamic field", FIRST_DYNAMIC, SECOND_DYNAMIC},
  };
  for (const auto& row : cases) {
    int64_t from = gadgets[row.from], to = gadgets[row.to];
    SetFocus(ControlOf(from));
    ASSERT_EQ(GetFocus(), ControlOf(from)) << row.name;
    support::QueuedEventsTake();
    // The focus messages are sent, so the events are queued by the time
    // SetFocus returns; nothing is pumped in between.
    SetFocus(ControlOf(to));
    const Recorded expected[] = {
        {EVENT_GADGET, from, 0, EVENT_TYPE_LOST_FOCUS}, {EVENT_GADGET, to, 0, EVENT_TYPE_FOCUS}, END_OF_SEQUENCE};
    EXPECT_SEQUENCE(row.name, expected, support::QueuedEventsTake());
  }
  GadgetDiscard(gadgets[FIRST_DYNAMIC]);
  GadgetDiscard(gadgets[SECOND_DYNAMIC]);
}

TEST_F(UtilityWindowTest, TypingReachesTheFieldButNotTheReadOnlyOne) {
  HWND numberField = ControlOf(GADGET_NUMBER_FIELD), resultField = ControlOf(GADGET_RESULT_FIELD);
  SetFocus(numberField);
  support::TypeText("42");
  EXPECT_TRUE(support::PumpUntil([&] { return support::WindowText(numberField) == "42"; }))
      << "awaited \"42\" in the input field, saw \"" << support::WindowText(numberField) << "\"";
  SetFocus(resultField);
  support::TypeText("7");
  support::PressKey('X');
  support::PumpUntilIdle();
  EXPECT_EQ(support::WindowText(resultField), "");
  support::DrainEvents();
}

}  // namespace
