// The window layout: window 0, fixed client size 200x70, centred on the
// screen, with the two labels and the two fields. The labels are 100 wide
// and overlap the fields by 10 pixels; the geometry is kept exactly so the
// window looks the same wherever it runs. Gadgets are created in Tab order.
#include "app/rfidnummer/rfidnummer.h"

#include "gadget/edit_gadget.h"
#include "gadget/static_gadget.h"
#include "window/window_object.h"

enum { MAIN_WINDOW = 0 };
// No sizing border, no maximize box.
const uint32_t MAIN_WINDOW_FLAGS = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WINDOW_CENTRE_SCREEN;

int64_t MainWindowCreate(void) {
  if (!WindowCreate(MAIN_WINDOW, 0, 0, 200, 70, "RFID Nummer", MAIN_WINDOW_FLAGS)) return 0;
  StaticGadgetCreate(GADGET_NUMBER_LABEL, 10, 12, 100, 20, "Nummer auf Karte:");
  EditGadgetCreate(GADGET_NUMBER_FIELD, 100, 10, 90, 20, "");
  StaticGadgetCreate(GADGET_RESULT_LABEL, 10, 42, 100, 20, "berechnet:");
  EditGadgetCreate(GADGET_RESULT_FIELD, 100, 40, 90, 20, "", ES_READONLY);
  return 1;
}
