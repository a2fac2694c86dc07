// Static-text and edit gadgets: the styles their controls get, and the
// focus events edit fields queue when the keyboard focus moves.
#include "core/toolkit.h"
#include "gadget/edit_gadget.h"
#include "gadget/static_gadget.h"
#include "gadget_fixture.h"

namespace {

using gadget_test::ControlOf;
using gadget_test::GadgetWindowTest;

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
    EXPECT_STRCASEEQ(gui::ClassNameOf(control).c_str(), row.className);
    EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(control, GWL_STYLE)), row.style);
    EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(control, GWL_EXSTYLE)) & WS_EX_CLIENTEDGE, row.extendedStyle);
    EXPECT_EQ(gui::WindowText(control), row.text ? row.text : "");
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

struct FocusCase {
  const char* name;
  int64_t from;  // gadget that has the focus first
  int64_t to;    // gadget the focus moves to
};

TEST_F(GadgetWindowTest, FocusMoveQueuesLostFocusThenFocus) {
  // The utility's layout: field 3 is read-only and still takes the focus.
  StaticGadgetCreate(0, 10, 12, 100, 20, "Nummer auf Karte:");
  EditGadgetCreate(1, 100, 10, 90, 20, "");
  StaticGadgetCreate(2, 10, 42, 100, 20, "berechnet:");
  EditGadgetCreate(3, 100, 40, 90, 20, "", ES_READONLY);
  ASSERT_TRUE(gui::BringToForeground(window)) << "awaited window 0 in the foreground";

  const FocusCase cases[] = {
      {"input field to result field", 1, 3},
      {"result field to input field", 3, 1},
  };
  for (const FocusCase& row : cases) {
    SCOPED_TRACE(row.name);
    SetFocus(ControlOf(row.from));
    ASSERT_EQ(GetFocus(), ControlOf(row.from));
    gadget_test::QueuedEventsTake();
    // The focus messages are sent, so the events are queued by the time
    // SetFocus returns; nothing is pumped in between.
    SetFocus(ControlOf(row.to));
    EXPECT_QUEUED_EVENTS({{EVENT_GADGET, row.from, 0, EVENT_TYPE_LOST_FOCUS},
                          {EVENT_GADGET, row.to, 0, EVENT_TYPE_FOCUS}});
  }
}

TEST_F(GadgetWindowTest, DynamicFieldEventsCarryItsHandleValue) {
  int64_t first = EditGadgetCreate(OBJECT_ANY, 100, 10, 90, 20, "", 0);
  int64_t second = EditGadgetCreate(OBJECT_ANY, 100, 40, 90, 20, "", ES_READONLY);
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  ASSERT_TRUE(gui::BringToForeground(window)) << "awaited window 0 in the foreground";
  SetFocus(ControlOf(first));
  gadget_test::QueuedEventsTake();
  SetFocus(ControlOf(second));
  EXPECT_QUEUED_EVENTS({{EVENT_GADGET, first, 0, EVENT_TYPE_LOST_FOCUS},
                        {EVENT_GADGET, second, 0, EVENT_TYPE_FOCUS}});
}

TEST_F(GadgetWindowTest, TypingReachesTheFieldButNotTheReadOnlyOne) {
  EditGadgetCreate(1, 100, 10, 90, 20, "");
  EditGadgetCreate(3, 100, 40, 90, 20, "", ES_READONLY);
  ASSERT_TRUE(gui::BringToForeground(window)) << "awaited window 0 in the foreground";
  SetFocus(ControlOf(1));
  gui::TypeText("42");
  EXPECT_TRUE(gui::PumpUntil([] { return gui::WindowText(ControlOf(1)) == "42"; }))
      << "awaited \"42\" in the input field, saw \"" << gui::WindowText(ControlOf(1)) << "\"";
  SetFocus(ControlOf(3));
  gui::TypeText("7");
  gui::PressKey('X');
  gui::PumpUntilIdle();
  EXPECT_EQ(gui::WindowText(ControlOf(3)), "");
}

}  // namespace
