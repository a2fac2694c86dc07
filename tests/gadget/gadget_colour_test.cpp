// Gadget colours: the brush cache's sharing and counting, the colour setter
// and getter, and what the colour-message handlers do to a real device
// context for every combination of colours.
#include "core/object_list.h"
#include "core/toolkit.h"
#include "gadget/gadget_colour.h"
#include "gadget/edit_gadget.h"
#include "gadget/static_gadget.h"
#include "support/window_fixtures.h"

namespace {

using support::ControlOf;
using support::GadgetWindowTest;

GadgetObject* Gadget(int64_t number) { return static_cast<GadgetObject*>(RegistryLookup(GadgetRegistry(), number)); }

// The cache entry holding a brush, or null.
BrushCacheEntry* EntryOfBrush(HBRUSH brush) {
  for (ListNode* node = *BrushCacheHead(); node; node = node->next) {
    BrushCacheEntry* entry = static_cast<BrushCacheEntry*>(ListPayloadOf(node));
    if (entry->brush == brush) return entry;
  }
  return nullptr;
}

int EntryCount(void) {
  int count = 0;
  for (ListNode* node = *BrushCacheHead(); node; node = node->next) count++;
  return count;
}

const COLORREF teal = RGB(0, 128, 128);
const COLORREF amber = RGB(255, 191, 0);

TEST_F(GadgetWindowTest, GadgetsOfOneBackgroundColourShareOneBrush) {
  StaticGadgetCreate(0, 10, 12, 100, 20, "a");
  EditGadgetCreate(1, 100, 10, 90, 20, "b");
  int entriesBefore = EntryCount();
  GadgetColourSet(Gadget(0), COLOUR_BACK, teal);
  GadgetColourSet(Gadget(1), COLOUR_BACK, teal);
  HBRUSH shared = Gadget(0)->backBrush;
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(Gadget(1)->backBrush, shared);
  ASSERT_NE(EntryOfBrush(shared), nullptr);
  EXPECT_EQ(EntryOfBrush(shared)->useCount, 2);
  EXPECT_EQ(EntryOfBrush(shared)->colour, teal);
  EXPECT_EQ(EntryCount(), entriesBefore + 1);
  EXPECT_EQ(static_cast<DWORD>(GetObjectType(shared)), static_cast<DWORD>(OBJ_BRUSH));

  GadgetDiscard(0);
  ASSERT_NE(EntryOfBrush(shared), nullptr) << "the brush outlives one of its holders";
  EXPECT_EQ(EntryOfBrush(shared)->useCount, 1);
  EXPECT_EQ(static_cast<DWORD>(GetObjectType(shared)), static_cast<DWORD>(OBJ_BRUSH));

  GadgetDiscard(1);
  EXPECT_EQ(EntryOfBrush(shared), nullptr) << "the last holder's end removes the entry";
  EXPECT_EQ(GetObjectType(shared), 0u) << "and deletes the brush";
  EXPECT_EQ(EntryCount(), entriesBefore);
}

TEST(BrushCache, AcquireSharesTheBrushAndTheLastReleaseDeletesIt) {
  HBRUSH first = BrushAcquire(amber);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(BrushAcquire(amber), first) << "a second acquire of the colour";
  BrushRelease(first);
  EXPECT_EQ(static_cast<DWORD>(GetObjectType(first)), static_cast<DWORD>(OBJ_BRUSH)) << "one holder is left";
  BrushRelease(first);
  EXPECT_EQ(GetObjectType(first), 0u) << "the last release deletes it";
  EXPECT_EQ(EntryOfBrush(first), nullptr);
}

TEST_F(GadgetWindowTest, ColourSetAndGetPerAttribute) {
  EditGadgetCreate(1, 100, 10, 90, 20, "b");
  GadgetObject* field = Gadget(1);
  EXPECT_EQ(GadgetColourGet(field, COLOUR_FRONT), -1) << "never set";
  EXPECT_EQ(GadgetColourGet(field, COLOUR_BACK), -1);

  GadgetColourSet(field, COLOUR_FRONT, amber);
  GadgetColourSet(field, COLOUR_BACK, teal);
  EXPECT_EQ(GadgetColourGet(field, COLOUR_FRONT), static_cast<int64_t>(amber));
  EXPECT_EQ(GadgetColourGet(field, COLOUR_BACK), static_cast<int64_t>(teal));
  EXPECT_EQ(GadgetColourGet(field, 3), -1);

  ValidateRect(field->handle, nullptr);
  GadgetColourSet(field, 3, amber);
  EXPECT_TRUE(GetUpdateRect(field->handle, nullptr, FALSE)) << "attribute 3 still redraws the control";
  EXPECT_EQ(GadgetColourGet(field, COLOUR_FRONT), static_cast<int64_t>(amber)) << "attribute 3 changes nothing";
  EXPECT_EQ(GadgetColourGet(field, COLOUR_BACK), static_cast<int64_t>(teal));

  // Same colour again on the brush's only holder: released first, so a new
  // entry with a count of one replaces the old.
  GadgetColourSet(field, COLOUR_BACK, teal);
  ASSERT_NE(field->backBrush, nullptr);
  ASSERT_NE(EntryOfBrush(field->backBrush), nullptr);
  EXPECT_EQ(EntryOfBrush(field->backBrush)->useCount, 1);

  HBRUSH held = field->backBrush;
  GadgetColourSet(field, COLOUR_BACK, -1);
  EXPECT_EQ(field->backBrush, nullptr);
  EXPECT_EQ(GadgetColourGet(field, COLOUR_BACK), -1);
  EXPECT_EQ(EntryOfBrush(held), nullptr);
  // Both colours default again: the platform paints the control once more.
  GadgetColourSet(field, COLOUR_FRONT, -1);
  EXPECT_EQ(field->gadgetType->onMessage(field, window, WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(field->handle)),
            NOT_HANDLED);
}

// A colour whose brush could not be made keeps its entry with a null brush;
// the next request for that colour passes it over, and no gadget ever
// releases a null brush (which would count down the failed entry).
TEST_F(GadgetWindowTest, FailedBrushEntryIsPassedOverAndNeverReleased) {
  BrushCacheEntry* failed = static_cast<BrushCacheEntry*>(
      ListPushFront(BrushCacheHead(), static_cast<int32_t>(sizeof(ListNode) + sizeof(BrushCacheEntry))));
  ASSERT_NE(failed, nullptr);
  failed->colour = teal;
  failed->useCount = 1;
  int entries = EntryCount();
  EditGadgetCreate(1, 100, 10, 90, 20, "b");
  GadgetObject* field = Gadget(1);
  GadgetColourSet(field, COLOUR_BACK, teal);
  EXPECT_NE(field->backBrush, nullptr) << "a new brush next to the failed entry";
  EXPECT_EQ(EntryCount(), entries + 1);
  GadgetColourSet(field, COLOUR_BACK, -1);

  // The gadget left with a null brush, as after the failure.
  field->backColour = teal;
  GadgetColourSet(field, COLOUR_BACK, -1);
  field->backColour = teal;
  GadgetDiscard(1);
  ASSERT_EQ(EntryCount(), entries) << "the failed entry was released";
  EXPECT_EQ(failed->useCount, 1);
  ListRemove(BrushCacheHead(), failed);
}

enum Outcome { OUTCOME_NOT_HANDLED, OUTCOME_SYSTEM_BRUSH, OUTCOME_BACK_BRUSH };

struct ColourMessageCase {
  int line;
  bool edit;          // edit gadget, else static text
  bool readOnly;
  bool enabled;
  UINT message;
  int64_t front;      // -1 = default
  int64_t back;
  Outcome outcome;
};

const COLORREF sentinelText = RGB(1, 2, 3);
const COLORREF sentinelBack = RGB(4, 5, 6);

const ColourMessageCase colourMessageCases[] = {
    // Static text answers WM_CTLCOLORSTATIC only.
    {__LINE__, false, false, true, WM_CTLCOLORSTATIC, -1, -1, OUTCOME_NOT_HANDLED},
    {__LINE__, false, false, true, WM_CTLCOLORSTATIC, amber, -1, OUTCOME_SYSTEM_BRUSH},
    {__LINE__, false, false, true, WM_CTLCOLORSTATIC, -1, teal, OUTCOME_BACK_BRUSH},
    {__LINE__, false, false, true, WM_CTLCOLORSTATIC, amber, teal, OUTCOME_BACK_BRUSH},
    {__LINE__, false, false, true, WM_CTLCOLOREDIT, amber, teal, OUTCOME_NOT_HANDLED},
    {__LINE__, false, false, true, WM_CTLCOLORBTN, amber, teal, OUTCOME_NOT_HANDLED},
    {__LINE__, false, false, false, WM_CTLCOLORSTATIC, amber, teal, OUTCOME_BACK_BRUSH},
    // Edit fields: WM_CTLCOLOREDIT always.
    {__LINE__, true, false, true, WM_CTLCOLOREDIT, -1, -1, OUTCOME_NOT_HANDLED},
    {__LINE__, true, false, true, WM_CTLCOLOREDIT, amber, -1, OUTCOME_SYSTEM_BRUSH},
    {__LINE__, true, false, true, WM_CTLCOLOREDIT, -1, teal, OUTCOME_BACK_BRUSH},
    {__LINE__, true, false, true, WM_CTLCOLOREDIT, amber, teal, OUTCOME_BACK_BRUSH},
    {__LINE__, true, false, false, WM_CTLCOLOREDIT, amber, teal, OUTCOME_BACK_BRUSH},
    // ... and WM_CTLCOLORSTATIC (read-only or disabled) only while enabled.
    {__LINE__, true, true, true, WM_CTLCOLORSTATIC, amber, teal, OUTCOME_BACK_BRUSH},
    {__LINE__, true, true, true, WM_CTLCOLORSTATIC, amber, -1, OUTCOME_SYSTEM_BRUSH},
    {__LINE__, true, true, true, WM_CTLCOLORSTATIC, -1, -1, OUTCOME_NOT_HANDLED},
    {__LINE__, true, true, false, WM_CTLCOLORSTATIC, amber, teal, OUTCOME_NOT_HANDLED},
    {__LINE__, true, false, false, WM_CTLCOLORSTATIC, amber, -1, OUTCOME_NOT_HANDLED},
    {__LINE__, true, false, true, WM_CTLCOLORBTN, amber, teal, OUTCOME_NOT_HANDLED},
    {0, false, false, false, 0, 0, 0, OUTCOME_NOT_HANDLED},
};

TEST_F(GadgetWindowTest, ColourMessageOutcomeOnARealDeviceContext) {
  for (const ColourMessageCase* row = colourMessageCases; row->line; row++) {
    SCOPED_TRACE(testing::Message() << "table row at line " << row->line);
    uint32_t flags = row->readOnly ? ES_READONLY : 0;
    int64_t created = row->edit ? EditGadgetCreate(6, 100, 10, 90, 20, "x", flags)
                                : StaticGadgetCreate(6, 10, 12, 100, 20, "x", flags);
    ASSERT_NE(created, 0);
    GadgetObject* gadget = Gadget(6);
    EnableWindow(gadget->handle, row->enabled);
    if (row->front != -1) GadgetColourSet(gadget, COLOUR_FRONT, static_cast<int32_t>(row->front));
    if (row->back != -1) GadgetColourSet(gadget, COLOUR_BACK, static_cast<int32_t>(row->back));

    HDC dc = GetDC(gadget->handle);
    ASSERT_NE(dc, nullptr);
    SetTextColor(dc, sentinelText);
    SetBkColor(dc, sentinelBack);
    int64_t result = gadget->gadgetType->onMessage(gadget, window, row->message, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(gadget->handle));
    COLORREF text = GetTextColor(dc), back = GetBkColor(dc);
    ReleaseDC(gadget->handle, dc);

    int systemColour = row->edit ? COLOR_WINDOW : COLOR_BTNFACE;
    switch (row->outcome) {
      case OUTCOME_NOT_HANDLED:
        EXPECT_EQ(result, NOT_HANDLED);
        EXPECT_EQ(text, sentinelText) << "the device context is left alone";
        EXPECT_EQ(back, sentinelBack);
        break;
      case OUTCOME_SYSTEM_BRUSH:
        EXPECT_EQ(result, reinterpret_cast<int64_t>(GetSysColorBrush(systemColour)));
        EXPECT_EQ(text, static_cast<COLORREF>(row->front));
        EXPECT_EQ(back, GetSysColor(systemColour));
        break;
      case OUTCOME_BACK_BRUSH:
        EXPECT_EQ(result, reinterpret_cast<int64_t>(gadget->backBrush));
        EXPECT_NE(gadget->backBrush, nullptr);
        EXPECT_EQ(text, row->front == -1 ? sentinelText : static_cast<COLORREF>(row->front));
        EXPECT_EQ(back, static_cast<COLORREF>(row->back));
        break;
    }
    GadgetDiscard(6);
  }
}

TEST_F(GadgetWindowTest, ParentWindowHandsColourMessagesToTheKind) {
  StaticGadgetCreate(0, 10, 12, 100, 20, "label");
  GadgetObject* label = Gadget(0);
  GadgetColourSet(label, COLOUR_FRONT, amber);
  GadgetColourSet(label, COLOUR_BACK, teal);
  HDC dc = GetDC(label->handle);
  LRESULT result = SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(label->handle));
  EXPECT_EQ(GetBkColor(dc), teal);
  ReleaseDC(label->handle, dc);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(result), label->backBrush);
}

}  // namespace
