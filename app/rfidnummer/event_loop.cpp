// The event loop and the conversion it runs. The loop ends only on the close
// event; the window itself is destroyed later, at shut-down. The conversion
// runs on the number field's focus loss (Tab, a click into the result field,
// another window activated), never on typing.
#include "app/rfidnummer/rfidnummer.h"

#include "app/card_code.h"
#include "core/string_buffer.h"
#include "gadget/gadget_core.h"
#include "window/event_wait.h"
#include "window/events/event_codes.h"

static int32_t quitFlag;

void ConversionStep(void) {
  TempStringBuffer* buffer = StringBuffer();
  int32_t start = static_cast<int32_t>(buffer->writePosition);
  // An empty text stands at the start should the field not be there to read.
  StringAppend(nullptr);
  GadgetTextGet(GADGET_NUMBER_FIELD, start);
  CardCode(buffer->base + start, start);
  // Past the code's terminator, so that setting the text cannot overwrite it.
  buffer->writePosition++;
  GadgetTextSet(GADGET_RESULT_FIELD, buffer->base + start);
  buffer->writePosition = start;
}

void EventLoopRun(void) {
  quitFlag = 0;
  do {
    int64_t event = EventWait();
    if (event == EVENT_CLOSE_WINDOW) {
      quitFlag = 1;
    } else if (event == EVENT_GADGET && CurrentEventGadget() == GADGET_NUMBER_FIELD &&
               CurrentEventType() == EVENT_TYPE_LOST_FOCUS) {
      ConversionStep();
    }
  } while (!quitFlag);
}
