// The gadget core on real controls under the toolkit: numbers and handle
// values, text through the string buffer, the clean-up on destruction, the
// owning window of a control and the events it posts.
#include <string.h>

#include "core/string_buffer.h"
#include "core/toolkit.h"
#include "gadget/edit_gadget.h"
#include "gadget/static_gadget.h"
#include "gadget/gadget_list.h"
#include "support/window_fixtures.h"

namespace {

using support::ControlOf;
using support::GadgetWindowTest;
using support::END_OF_SEQUENCE;
using support::Recorded;

typedef int64_t (*CreateRoutine)(int64_t, int32_t, int32_t, int32_t, int32_t, const char*, uint32_t);

struct IdentityCase {
  const char* name;
  CreateRoutine create;
  int64_t number;  // OBJECT_ANY for a dynamic gadget
};

const IdentityCase identityCases[] = {
    {"numbered static text", StaticGadgetCreate, 0},
    {"numbered edit field", EditGadgetCreate, 7},
    {"dynamic static text", StaticGadgetCreate, OBJECT_ANY},
    {"dynamic edit field", EditGadgetCreate, OBJECT_ANY},
};

TEST_F(GadgetWindowTest, ControlIdAndZelIdNameTheGadget) {
  // A window made with flag 8 meanwhile leaves the gadgets in window 0.
  int64_t unlisted = WindowCreate(OBJECT_ANY, 0, 0, 50, 50, "unlisted", WINDOW_NO_GADGET_LIST | WINDOW_HIDDEN);
  ASSERT_NE(unlisted, 0);
  for (const IdentityCase& row : identityCases) {
    SCOPED_TRACE(row.name);
    int64_t result = row.create(row.number, 10, 10, 80, 20, "x", 0);
    ASSERT_NE(result, 0);
    int64_t id = row.number;
    HWND control;
    if (row.number == OBJECT_ANY) {
      // The result is the record's address, and that value names it.
      GadgetObject* gadget = static_cast<GadgetObject*>(RegistryLookup(GadgetRegistry(), result));
      ASSERT_NE(gadget, nullptr);
      EXPECT_EQ(reinterpret_cast<int64_t>(gadget), result);
      control = gadget->handle;
      id = result;
    } else {
      control = ControlOf(row.number);
      EXPECT_EQ(reinterpret_cast<int64_t>(control), result) << "a numbered gadget returns its control";
    }
    ASSERT_TRUE(IsWindow(control));
    EXPECT_EQ(GetParent(control), window);
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_ID), id);
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(control, "Zel_ID")), id);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
    GadgetDiscard(id);
    EXPECT_FALSE(IsWindow(control)) << "GadgetDiscard destroys the control";
    EXPECT_EQ(RegistryLookup(GadgetRegistry(), id), nullptr);
  }
  WindowDestroy(unlisted);
}

struct TextCase {
  const char* name;
  const char* setText;      // given to GadgetTextSet (may be null)
  const char* expected;     // what GadgetTextGet then yields
};

const TextCase textCases[] = {
    {"a card number", "12345678", "12345678"},
    {"the empty text", "", ""},
    {"a null text is the empty text", nullptr, ""},
    {"a text with blanks", "  42 abc ", "  42 abc "},
    {"a text longer than the buffer's first area",
     "0123456789012345678901234567890123456789012345678901234567890123456789",
     "0123456789012345678901234567890123456789012345678901234567890123456789"},
};

TEST_F(GadgetWindowTest, TextSetThenGetFollowsTheBufferConvention) {
  ASSERT_NE(EditGadgetCreate(1, 100, 10, 90, 20, "start", 0), 0);
  TempStringBuffer* buffer = StringBuffer();
  for (const TextCase& row : textCases) {
    SCOPED_TRACE(row.name);
    GadgetTextSet(1, row.setText);
    // Results already in the buffer in front of the position must survive.
    int64_t saved = buffer->writePosition;
    StringAppend("kept");
    int32_t position = static_cast<int32_t>(buffer->writePosition);
    GadgetTextGet(1, position);
    size_t length = strlen(row.expected);
    EXPECT_EQ(buffer->writePosition, position + static_cast<int64_t>(length)) << "write position on the terminator";
    EXPECT_STREQ(buffer->base + position, row.expected);
    EXPECT_EQ(std::string(buffer->base + saved, 4), "kept");
    EXPECT_EQ(support::WindowText(ControlOf(1)), row.expected);
    buffer->writePosition = saved;
  }
}

TEST_F(GadgetWindowTest, TextOfAMissingGadgetWritesNothing) {
  ASSERT_NE(StaticGadgetCreate(2, 10, 10, 80, 20, "gone", 0), 0);
  GadgetDiscard(2);
  TempStringBuffer* buffer = StringBuffer();
  int64_t saved = buffer->writePosition;
  StringAppend("sentinel");
  int32_t position = static_cast<int32_t>(buffer->writePosition);
  StringReserve(8, position);
  memcpy(buffer->base + position, "UNTOUCH", 8);
  buffer->writePosition = position;
  for (int64_t number : {int64_t{2}, int64_t{42}, int64_t{0x12345678}}) {
    SCOPED_TRACE(number);
    GadgetTextGet(number, position);
    EXPECT_EQ(buffer->writePosition, position);
    EXPECT_STREQ(buffer->base + position, "UNTOUCH");
    GadgetTextSet(number, "ignored");  // must not crash or create anything
  }
  EXPECT_EQ(support::LiveGadgetCount(), 0);
  buffer->writePosition = saved;
}

// Sits on top of GadgetWindowProc and looks at the control right after its
// WM_NCDESTROY clean-up, while the window handle is still valid.
struct AfterCleanUp {
  bool seen;
  LONG_PTR controlId;
  HANDLE zelId;
  HANDLE dropAccept;
};
AfterCleanUp afterCleanUp;
WNDPROC gadgetProcBelow;

LRESULT CALLBACK ObserveCleanUp(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(gadgetProcBelow, window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    afterCleanUp.seen = true;
    afterCleanUp.controlId = GetWindowLongPtrA(window, GWLP_ID);
    afterCleanUp.zelId = GetPropA(window, "Zel_ID");
    afterCleanUp.dropAccept = GetPropA(window, "Zel_DropAccept");
  }
  return result;
}

TEST_F(GadgetWindowTest, DestroyedControlLeavesNoIdPropertyEventOrRecord) {
  for (int64_t number : {int64_t{1}, int64_t{OBJECT_ANY}}) {
    SCOPED_TRACE(number == OBJECT_ANY ? "dynamic gadget" : "numbered gadget");
    ASSERT_NE(EditGadgetCreate(3, 100, 40, 90, 20, "other", 0), 0);
    int64_t result = EditGadgetCreate(number, 100, 10, 90, 20, "doomed", 0);
    ASSERT_NE(result, 0);
    int64_t id = number == OBJECT_ANY ? result : number;
    HWND control = ControlOf(id);
    SetPropA(control, "Zel_DropAccept", reinterpret_cast<HANDLE>(1));
    support::QueuedEventsTake();
    GadgetEventPost(control, EVENT_TYPE_FOCUS);
    GadgetEventPost(ControlOf(3), EVENT_TYPE_FOCUS);
    GadgetEventPost(control, EVENT_TYPE_LOST_FOCUS);

    afterCleanUp = AfterCleanUp();
    gadgetProcBelow = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ObserveCleanUp)));
    DestroyWindow(control);

    ASSERT_TRUE(afterCleanUp.seen);
    EXPECT_EQ(afterCleanUp.controlId, -1);
    EXPECT_EQ(afterCleanUp.zelId, nullptr);
    EXPECT_EQ(afterCleanUp.dropAccept, nullptr);
    EXPECT_EQ(RegistryLookup(GadgetRegistry(), id), nullptr);
    static const Recorded survivor[] = {{EVENT_GADGET, 3, 0, EVENT_TYPE_FOCUS}, END_OF_SEQUENCE};
    EXPECT_SEQUENCE("only the other gadget's event stays", survivor, support::QueuedGadgetEventsTake());
    GadgetDiscard(3);
  }
}

TEST_F(GadgetWindowTest, RecreatingANumberDestroysTheOldControlAndItsEvents) {
  ASSERT_NE(EditGadgetCreate(1, 100, 10, 90, 20, "first", 0), 0);
  HWND first = ControlOf(1);
  GadgetEventPost(first, EVENT_TYPE_LOST_FOCUS);
  ASSERT_NE(EditGadgetCreate(1, 100, 10, 90, 20, "second", 0), 0);
  HWND second = ControlOf(1);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_NE(second, first);
  EXPECT_EQ(GetWindowLongPtrA(second, GWLP_ID), 1);
  EXPECT_EQ(support::WindowText(second), "second");
  EXPECT_EQ(support::LiveGadgetCount(), 1);
  EXPECT_SEQUENCE("the old control's event went with it", support::NOTHING, support::QueuedGadgetEventsTake());
}

TEST_F(GadgetWindowTest, FailedCreationKeepsTheGadgetUnderThatNumber) {
  ASSERT_NE(StaticGadgetCreate(4, 10, 10, 80, 20, "survivor", 0), 0);
  HWND survivor = ControlOf(4);
  // No current gadget list: a child control cannot be made.
  HWND previousList = GadgetStateGet()->currentList;
  GadgetStateGet()->currentList = nullptr;
  EXPECT_EQ(StaticGadgetCreate(4, 10, 10, 80, 20, "never", 0), 0);
  EXPECT_EQ(EditGadgetCreate(4, 10, 10, 80, 20, "never", 0), 0);
  GadgetStateGet()->currentList = previousList;
  EXPECT_EQ(ControlOf(4), survivor);
  EXPECT_EQ(support::WindowText(survivor), "survivor");
}

TEST_F(GadgetWindowTest, EventsOfAGadgetNameItsOwningWindow) {
  // A container between the window and the control: the owner is still the
  // window that carries "Zel_WindowID".
  HWND container = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 70, window, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(container, nullptr);
  HWND nested = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, container, reinterpret_cast<HMENU>(77),
                                GetModuleHandleA(nullptr), nullptr);
  // A window of no toolkit window, with a child of its own.
  HWND stranger = CreateWindowExA(0, "Static", "stranger", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  HWND strangerChild = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, stranger,
                                       reinterpret_cast<HMENU>(78), GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(nested && stranger && strangerChild);

  EXPECT_EQ(GadgetOwnerWindow(nested), window);
  EXPECT_EQ(GadgetOwnerWindow(container), window);
  EXPECT_EQ(GadgetOwnerWindow(window), window);
  EXPECT_EQ(GadgetOwnerWindow(strangerChild), stranger) << "a chain without the property ends at the top";
  EXPECT_EQ(GadgetOwnerWindow(stranger), stranger);

  support::QueuedEventsTake();
  GadgetEventPost(nested, EVENT_TYPE_FOCUS);
  GadgetEventPost(strangerChild, EVENT_TYPE_LOST_FOCUS);
  GadgetEventPost(strangerChild, -5);
  static const Recorded expected[] = {{EVENT_GADGET, 77, 0, EVENT_TYPE_FOCUS},
                                      {EVENT_GADGET, 78, -1, EVENT_TYPE_LOST_FOCUS},
                                      {EVENT_GADGET, 78, -1, -5},
                                      END_OF_SEQUENCE};
  EXPECT_SEQUENCE("events of a nested control and of a stranger's child", expected, support::QueuedEventsTake());
  DestroyWindow(stranger);
  DestroyWindow(container);
}

}  // namespace
