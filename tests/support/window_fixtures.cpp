// See window_fixtures.h.
#include "support/window_fixtures.h"

#include "app/rfidnummer/rfidnummer.h"
#include "core/registry.h"
#include "window/events/event_queue.h"
#include "window/window_object.h"

namespace support {

std::string ClassNameOfNumber(int64_t number) { return "WindowClass_" + std::to_string(number); }

bool ClassRegistered(int64_t number) {
  WNDCLASSA info;
  return GetClassInfoA(GetModuleHandleA(nullptr), ClassNameOfNumber(number).c_str(), &info) != 0;
}

HWND ControlOf(int64_t gadget) {
  GadgetObject* record = static_cast<GadgetObject*>(RegistryLookup(GadgetRegistry(), gadget));
  return record ? record->handle : nullptr;
}

int64_t LiveGadgetCount() {
  ObjectRegistry* registry = GadgetRegistry();
  RegistryEnumStart(registry);
  int64_t number = 0, count = 0;
  while (RegistryEnumNext(registry, &number)) count++;
  return count;
}

// ---- WindowTest -------------------------------------------------------------

void WindowTest::SetUp() {
  DrainEvents();
  EventPurge(-1, -1, -1, -1);
}

void WindowTest::TearDown() {
  for (int64_t number : numbers) WindowDestroy(number);
  DrainEvents();
  EventPurge(-1, -1, -1, -1);
  ObjectRegistry* registry = WindowRegistry();
  RegistryEnumStart(registry);
  int64_t live = 0;
  while (RegistryEnumNext(registry, &live)) ADD_FAILURE() << "window " << live << " outlived the test";
  for (int64_t number : numbers) EXPECT_FALSE(ClassRegistered(number)) << ClassNameOfNumber(number);
}

HWND WindowTest::Create(int64_t number, uint32_t flags, int32_t x, int32_t y, int32_t width, int32_t height,
                        const char* title) {
  int64_t result = WindowCreate(number, x, y, width, height, title, flags);
  EXPECT_NE(result, 0) << "WindowCreate(" << number << ")";
  if (number == OBJECT_ANY) number = result;
  numbers.push_back(number);
  WindowObject* object = Record(number);
  return object ? object->handle : nullptr;
}

WindowObject* WindowTest::Record(int64_t number) {
  return static_cast<WindowObject*>(RegistryLookup(WindowRegistry(), number));
}

// ---- Window 0 made once per suite -------------------------------------------

static HWND WindowZeroHandle() {
  WindowObject* object = static_cast<WindowObject*>(RegistryLookup(WindowRegistry(), 0));
  return object ? object->handle : nullptr;
}

static void WindowZeroDestroy() {
  WindowDestroy(0);
  PumpUntilIdle();
  EXPECT_SEQUENCE("events left after window 0 ended", NOTHING, QueuedEventsTake());
  EXPECT_FALSE(ClassRegistered(0)) << "the window class outlived the window";
}

static void GadgetsDiscard() {
  // Discarding frees dynamic records, so the walk starts over each time.
  for (;;) {
    RegistryEnumStart(GadgetRegistry());
    int64_t number = 0;
    if (!RegistryEnumNext(GadgetRegistry(), &number)) break;
    GadgetDiscard(number);
  }
}

HWND GadgetWindowTest::window = nullptr;

void GadgetWindowTest::SetUpTestSuite() {
  if (WindowCreate(0, 0, 0, 200, 70, "Gadget test", WINDOW_CENTRE_SCREEN | WS_CAPTION | WS_SYSMENU))
    window = WindowZeroHandle();
}

void GadgetWindowTest::TearDownTestSuite() {
  WindowZeroDestroy();
  window = nullptr;
}

void GadgetWindowTest::SetUp() {
  ASSERT_NE(window, nullptr) << "window 0 could not be created";
  ASSERT_EQ(LiveGadgetCount(), 0) << "a gadget of an earlier test is still live";
  QueuedEventsTake();
}

void GadgetWindowTest::TearDown() {
  GadgetsDiscard();
  EventPurge(-1, -1, -1, -1);
  EXPECT_EQ(GetWindow(window, GW_CHILD), nullptr) << "a control of the test outlived it";
}

HWND UtilityWindowTest::window = nullptr;

void UtilityWindowTest::SetUpTestSuite() {
  if (MainWindowCreate()) window = WindowZeroHandle();
}

void UtilityWindowTest::TearDownTestSuite() {
  WindowZeroDestroy();
  window = nullptr;
  EXPECT_EQ(LiveGadgetCount(), 0) << "the window's end discards its gadgets";
}

void UtilityWindowTest::SetUp() {
  ASSERT_NE(window, nullptr) << "the utility's window could not be created";
  for (int64_t gadget = GADGET_NUMBER_LABEL; gadget <= GADGET_RESULT_FIELD; gadget++)
    ASSERT_NE(ControlOf(gadget), nullptr) << "gadget " << gadget << " of the utility's layout";
  GadgetTextSet(GADGET_NUMBER_FIELD, "");
  GadgetTextSet(GADGET_RESULT_FIELD, "");
  ASSERT_TRUE(BringToForeground(window)) << "awaited the utility's window in the foreground";
  DrainEvents();
  EventPurge(-1, -1, -1, -1);
}


}  // namespace support
