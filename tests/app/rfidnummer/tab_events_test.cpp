// What the event wait returns when Tab moves the focus between the
// utility's two fields, with real key input through the toolkit's own
// wait: first the gaining field's EN_SETFOCUS as a direct event, then the
// two queued focus events, loser first.
#include <gtest/gtest.h>

#include "app/rfidnummer/rfidnummer.h"
#include "support/window_fixtures.h"
#include "window/events/event_codes.h"

namespace {

using support::END_OF_SEQUENCE;
using support::Recorded;
using support::UtilityWindowTest;

TEST_F(UtilityWindowTest, TabYieldsSetFocusThenLostFocusThenFocus) {
  static const struct {
    const char* situation;
    int64_t from;
    WORD modifier;
    int64_t to;
  } cases[] = {
      {"Tab in the number field", GADGET_NUMBER_FIELD, 0, GADGET_RESULT_FIELD},
      {"Tab in the result field wraps to the number field", GADGET_RESULT_FIELD, 0, GADGET_NUMBER_FIELD},
      {"Shift+Tab in the number field wraps to the result field", GADGET_NUMBER_FIELD, VK_SHIFT,
       GADGET_RESULT_FIELD},
      {"Shift+Tab in the result field", GADGET_RESULT_FIELD, VK_SHIFT, GADGET_NUMBER_FIELD},
  };
  for (const auto& row : cases) {
    SetFocus(support::ControlOf(row.from));
    support::DrainEvents();
    ASSERT_EQ(GetFocus(), support::ControlOf(row.from));
    support::PressKey(VK_TAB, row.modifier);
    // Raw key messages (the Shift press) are left out.
    const Recorded expected[] = {{EVENT_GADGET, row.to, 0, EN_SETFOCUS},
                                 {EVENT_GADGET, row.from, 0, EVENT_TYPE_LOST_FOCUS},
                                 {EVENT_GADGET, row.to, 0, EVENT_TYPE_FOCUS},
                                 END_OF_SEQUENCE};
    EXPECT_SEQUENCE(row.situation, expected, support::AwaitEvents({{EVENT_GADGET}}, 3));
    EXPECT_EQ(GetFocus(), support::ControlOf(row.to)) << row.situation;
  }
}

}  // namespace
